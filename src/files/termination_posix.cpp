// Termination signals on POSIX systems: a handler that runs the cleanup and
// then ends the program by the same signal, unless a deferral holds it back.
#include <pthread.h>
#include <signal.h>

#include <atomic>

#include "files/termination.h"

namespace tornix::fs_os {
namespace {

// The requests to end, and the two signals that end a program whose writes
// fail (a reader gone, the file size limit of `ulimit -f`): each removes the
// pending temporary files before the program ends by it.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};

using Cleanup = void (*)() noexcept;
std::atomic<Cleanup> g_cleanup{nullptr};
std::atomic<int> g_deferrals{0};
std::atomic<int> g_waitingSignal{0};  // a signal that arrived while deferred

static_assert(std::atomic<Cleanup>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "a signal handler may use only lock-free atomics");

// Runs the cleanup and ends the program with the signal's default action.
// Inside the handler the signal is blocked; unblocking it delivers it.
void EndBySignal(int signal) {
    if (const Cleanup cleanup = g_cleanup.load()) cleanup();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    sigset_t only;
    ::sigemptyset(&only);
    ::sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
}

// The signal is noted before the deferrals are counted, and whoever takes the
// note (this handler or the last deferral to end) acts on it, so that no
// signal is lost between the two.
void OnSignal(int signal) {
    g_waitingSignal.store(signal);
    if (g_deferrals.load() > 0) return;
    if (const int waiting = g_waitingSignal.exchange(0)) EndBySignal(waiting);
}

}  // namespace

void RunOnTermination(void (*cleanup)() noexcept) {
    g_cleanup.store(cleanup);
    for (const int signal : kSignals) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) != 0) continue;
        if (previous.sa_handler == SIG_IGN || previous.sa_handler == OnSignal) continue;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        action.sa_flags = SA_RESTART;  // a deferred signal lets interrupted calls go on
        ::sigemptyset(&action.sa_mask);
        for (const int other : kSignals) ::sigaddset(&action.sa_mask, other);
        ::sigaction(signal, &action, nullptr);
    }
}

TerminationDeferral::TerminationDeferral() {
    g_deferrals.fetch_add(1);
}

TerminationDeferral::~TerminationDeferral() {
    if (g_deferrals.fetch_sub(1) != 1) return;
    if (const int waiting = g_waitingSignal.exchange(0)) EndBySignal(waiting);
}

}  // namespace tornix::fs_os
