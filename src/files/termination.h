// The end of the program by a termination request: SIGINT, SIGTERM or SIGHUP
// on POSIX systems (and SIGPIPE and SIGXFSZ, by which a failing write ends a
// program), a console control event (Ctrl+C, Ctrl+Break, closing the
// console, logging off) on Windows.
#pragma once

namespace tornix::fs_os {

// From now on a termination request first calls `cleanup` and then ends the
// program as it would have ended without it: by the same signal with its
// default action (so that a shell sees the status it expects), or through the
// next console control handler. A signal that the program was started with
// ignored stays ignored. `cleanup` runs inside a signal handler, on any
// thread: it may call only what is safe there (no allocation, no lock). A
// later call replaces `cleanup`.
void RunOnTermination(void (*cleanup)() noexcept);

// While one exists, in any thread, a termination request waits: it is acted
// on when the last one goes. For steps that must not be cut off midway, such
// as rewriting a file in place. On Windows Ctrl+C and Ctrl+Break wait as long
// as it takes; closing the console or logging off waits four seconds at most,
// as the system ends the process about five seconds after such an event.
class TerminationDeferral {
public:
    TerminationDeferral();
    ~TerminationDeferral();
    TerminationDeferral(const TerminationDeferral&) = delete;
    TerminationDeferral& operator=(const TerminationDeferral&) = delete;
};

}  // namespace tornix::fs_os
