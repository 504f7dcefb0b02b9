#pragma once
// SIGTERM, SIGINT and SIGHUP as an ordinary Qt notice: the handler only writes one byte to a
// socket pair, and the window's thread reads it and emits requested(), so the window can close
// exactly as its close button does (temporary MIDI file removed, settings written, output levels
// restored) instead of dying on the spot.
#include <QObject>

class QSocketNotifier;

namespace qlor {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the signals could not be routed (they then end the program as by default).
    bool Installed() const { return notifier_ != nullptr; }

signals:
    void requested(int signal);

private:
    void OnReadable();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qlor
