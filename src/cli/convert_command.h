// tornix-convert as a function of its arguments and its three standard
// descriptors, so that the whole program can be run inside a test.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/help_text.h"
#include "files/file_system.h"

namespace tornix {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFileError = 1;   // a file could not be read or written
inline constexpr int kExitUsageError = 2;  // the command line is wrong
// Inputs are read in blocks of this size; the stream converts a block at a time.
inline constexpr std::size_t kReadSize = std::size_t{256} << 10;

// Standard output is a pipe that nobody reads any more. The program stops
// without a message, with the status a shell reports for a filter that
// SIGPIPE ended (128 + 13).
inline constexpr int kExitBrokenPipe = 141;

// The program's standard streams; borrowed, never closed by the program.
struct ProgramStreams {
    fs_os::NativeHandle input = fs_os::StandardInput();
    fs_os::NativeHandle output = fs_os::StandardOutput();
    fs_os::NativeHandle errors = fs_os::StandardError();
    Charset terminal = Charset::kUtf8;  // how the program's Chinese messages are written
    Charset localeText =
        Charset::kUtf8;  // for an input whose start tells nothing (the locale's: UTF-8 but in a GBK locale)
    Charset arguments = Charset::kUtf8;  // what the arguments are in (Windows' entry point gives UTF-8)
};

// Converts the request's inputs, in order, as one text, to its output.
// A file that cannot be read or written gives one line on `errors` that names
// it and gives the system's reason; an -o file is then left as it was.
[[nodiscard]] int RunConvert(const ConvertRequest& request, const ProgramStreams& streams);

// The whole program: arguments (without the program name) to exit status.
[[nodiscard]] int RunTornixConvert(const std::vector<std::string>& args, const ProgramStreams& streams);

}  // namespace tornix
