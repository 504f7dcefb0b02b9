#pragma once
// SIGTERM, SIGINT and SIGHUP as an ordinary Qt notice: the handler only records the signal and
// writes one byte to a socket pair, and the window's thread reads it and emits requested(), so the
// window can close exactly as its close button does (temporary MIDI file removed, settings
// written, output levels restored) instead of dying on the spot.
//
// CatchTerminationSignals() installs the handler first thing in main, before the instance lock is
// taken and before Qt exists; a signal that arrives while the window is still being built is kept
// and read with TerminationSignalArrived(), and one still waiting when TerminationSignals is made
// reaches requested() as soon as the event loop runs.
#include <QObject>

class QSocketNotifier;

namespace qlor {

// From now on the three signals are recorded instead of ending the program. False when they could
// not be routed (they then end the program as by default). Calling it again does nothing more.
bool CatchTerminationSignals();

// The signal number of the first termination signal caught so far, 0 while none has arrived.
int TerminationSignalArrived();

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Catches the signals (if CatchTerminationSignals() has not yet) and forwards them to
    // requested(); needs the application object.
    explicit TerminationSignals(QObject* parent = nullptr);
    // The signals end the program as by default again.
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
