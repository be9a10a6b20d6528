// The arguments of tornix-convert, read into a plain request:
//
//   tornix-convert --to-full [options] [FILE...]
//   tornix-convert --to-half [options] [FILE...]
//     -o, --output FILE   (also -oFILE and --output=FILE; "-" is standard output)
//         --trim
//     -h, --help
//         --version
//
// "-" names standard input; "--" ends the options. No FILE means standard
// input.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/width_stream.h"

namespace tornix {

struct ConvertRequest {
    WidthDirection direction = WidthDirection::kToFull;
    bool trim = false;
    std::optional<std::string> output;  // none: standard output
    std::vector<std::string> inputs;    // in order; empty: standard input
};

enum class CommandKind { kConvert, kHelp, kVersion, kUsageError };

struct CommandLine {
    CommandKind kind = CommandKind::kUsageError;
    ConvertRequest request;  // meaningful for kConvert
    std::string error;       // for kUsageError: what is wrong, one line
};

// Reads the arguments after the program name. --help wins over anything else
// on the line, then --version; otherwise the first problem is reported.
// Example: {"--to-half", "-o", "out.txt", "a.txt", "-"} converts a.txt and
// then standard input into out.txt.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace tornix
