// Runs the built tornix-convert as a child process: its standard input comes
// from a pipe fed by a thread in chunks of the caller's choosing, and its
// standard output and error are collected.
#pragma once

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
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const ProcessInput& input);

}  // namespace tornix::testing
