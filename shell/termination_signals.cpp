#include "shell/termination_signals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qlor {
namespace {

int g_pipe[2] = {-1, -1}; // [0] read by the window's thread, [1] written by the handler
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler on whichever thread takes the signal, read by the main thread.
std::atomic<int> g_arrived{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

// Only async-signal-safe work: an atomic store and one write().
extern "C" void ForwardSignal(int signal) {
    const int saved = errno;
    int none = 0;
    g_arrived.compare_exchange_strong(none, signal);
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void RestoreDefaults() {
    for (const int signal : kSignals)
        std::signal(signal, SIG_DFL);
}

} // namespace

bool CatchTerminationSignals() {
    if (g_pipe[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return false;
    }
    struct sigaction action {};
    action.sa_handler = ForwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
    return true;
}

int TerminationSignalArrived() {
    return g_arrived.load();
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (!CatchTerminationSignals())
        return;
    // A byte written before this point is still waiting: the notifier reports it at once.
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::OnReadable);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    RestoreDefaults();
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    g_arrived = 0;
}

void TerminationSignals::OnReadable() {
    unsigned char byte = 0;
    bool any = false;
    while (::read(g_pipe[0], &byte, 1) == 1)
        any = true;
    if (!any)
        return;
    // A second signal ends the program as by default, should the closing itself hang.
    RestoreDefaults();
    emit requested(byte);
}

} // namespace qlor
