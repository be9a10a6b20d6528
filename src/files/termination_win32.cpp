// Console control events on Windows: a handler that waits for deferrals,
// runs the cleanup and passes the event on, so that the process ends as it
// would have without it.
#include <windows.h>

#include <atomic>

#include "files/termination.h"

namespace tornix::fs_os {
namespace {

using Cleanup = void (*)() noexcept;
std::atomic<Cleanup> g_cleanup{nullptr};
std::atomic<int> g_deferrals{0};

// The system ends a process about five seconds after closing its console
// (or at logging off and shutting down); Ctrl+C and Ctrl+Break set no limit.
constexpr DWORD kLongestWaitMs = 4000;
constexpr DWORD kPollMs = 10;

bool HasDeadline(DWORD event) {
    return event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT;
}

// Runs on a thread of its own, while the program goes on.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    for (DWORD waited = 0; g_deferrals.load() > 0 && (!HasDeadline(event) || waited < kLongestWaitMs);
         waited += kPollMs) {
        ::Sleep(kPollMs);
    }
    if (const Cleanup cleanup = g_cleanup.load()) cleanup();
    return FALSE;  // the next handler, by default the system's, ends the process
}

}  // namespace

void RunOnTermination(void (*cleanup)() noexcept) {
    if (g_cleanup.exchange(cleanup) == nullptr) ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

TerminationDeferral::TerminationDeferral() {
    g_deferrals.fetch_add(1);
}

TerminationDeferral::~TerminationDeferral() {
    g_deferrals.fetch_sub(1);
}

}  // namespace tornix::fs_os
