#pragma once
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace qlor::test {

// Handles the program's events until `done` holds, waking at each event rather than at fixed
// steps: for what a posted event or a notifier brings about (a worker's notice, a child process's
// end, a socket). False when `timeoutMs` passes first.
template <class Done> bool WaitUntil(Done done, int timeoutMs = 5000) {
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake; // ends the last wait at the deadline
    wake.setSingleShot(true);
    wake.start(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

} // namespace qlor::test
