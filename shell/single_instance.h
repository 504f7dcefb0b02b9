#pragma once
// One running copy per user. The first copy holds a per-user lock file and listens on a local
// socket named "QLOR-2000", both in the user's runtime folder; a later start that finds the lock
// taken sends the raise request over the socket, waits for the answer and ends. The lock of a
// crashed copy (its process is gone) is taken over. Taking the lock is atomic, so two copies
// started at the same moment never both run.
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace qlor {

inline constexpr char kInstanceName[] = "QLOR-2000";
// The one request a second copy sends, and the answer it waits for.
inline constexpr char kRaiseRequest[] = "QLOR-2000 raise\n";
inline constexpr char kRaiseAnswer[] = "raised\n";

// Sends the raise request to the copy that listens on socketPath and waits until that copy has
// handled it. True when the answer came within timeoutMs [ms].
bool ActivateRunningInstance(const QString& socketPath, int timeoutMs);

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        First,            // this process is the one copy; raise requests arrive as raiseRequested()
        FirstUnguarded,   // the runtime folder is unusable: runs without the one-copy guard
        RaisedOther,      // another copy runs and came to the front: end without a window
        OtherNotAnswering // another copy holds the lock but did not answer in time
    };

    // runtimeDir empty: the user's runtime folder (XDG_RUNTIME_DIR, else Qt's private fallback).
    explicit SingleInstance(const QString& runtimeDir = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock, or asks the running copy to come forward; waits at most waitMs [ms] for a
    // copy that is still starting up to begin listening.
    Outcome Start(int waitMs = 10000);

    // How long a connected client may stay silent before it is dropped [ms]; tests shorten it.
    void SetConnectionTimeoutMs(int timeoutMs) { connectionTimeoutMs_ = timeoutMs; }

    QString LockPath() const;
    QString SocketPath() const;
    bool Listening() const;

signals:
    void raiseRequested();

private:
    void Listen();
    void OnNewConnection();
    void OnReadable(QLocalSocket* socket);

    QString dir_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    int connectionTimeoutMs_ = 3000; // [ms]
};

} // namespace qlor
