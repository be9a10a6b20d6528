// Runs the built tornix-convert as a child process: its standard input comes
// from a pipe fed by a thread in chunks of the caller's choosing, and its
// standard output and error are collected.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tornix::testing {

struct ProcessResult {
    int exitStatus = -1;  // when it exited
    int signal = 0;       // when a signal ended it
    std::string out;
    std::string err;
};

struct ProcessInput {
    std::string bytes;
    std::vector<std::size_t> chunks;                  // sizes of the writes; the rest in one write
    bool ignoreSigpipe = false;                       // start the child with SIGPIPE ignored
    std::size_t readOutputBytes = std::string::npos;  // close standard output after this many bytes
    // Called with the child's process id once the bytes are written; standard
    // input is closed when it returns.
    std::function<void(int)> afterInput;
    std::uint64_t addressSpaceLimit = 0;   // RLIMIT_AS of the child, in bytes; 0: none
    bool asNobody = false;                 // run as the user "nobody" (when we are root)
    std::vector<std::string> environment;  // NAME=value, added to the child's
    std::string appendOutputTo;            // standard output: this file opened for appending, not a pipe
    bool errorsUnread = false;             // standard error: a pipe whose reader has gone
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const ProcessInput& input);

}  // namespace tornix::testing
