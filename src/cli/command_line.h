// The arguments of tornix-convert, read into a plain request:
//
//   tornix-convert --to-full [options] [FILE...]
//   tornix-convert --to-half [options] [FILE...]
//     -o, --output FILE   (also -oFILE and --output=FILE; "-" is standard output)
//     -e, --encoding NAME (also -eNAME and --encoding=NAME)
//         --output-encoding NAME
//         --trim
//     -h, --help
//         --version
//
// "-" names standard input; "--" ends the options. No FILE means standard
// input. Encoding names: auto (for -e only), and the names and aliases of the
// character sets' records (text/encoding.h: gbk, gb18030, utf-8, utf-16le,
// utf-16be; cp936, utf8, utf16le, utf16be), in any case.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/width_stream.h"
#include "text/encoding.h"

namespace tornix {

struct ConvertRequest {
    WidthDirection direction = WidthDirection::kToFull;
    bool trim = false;
    std::optional<std::string> output;      // none: standard output
    std::vector<std::string> inputs;        // in order; empty: standard input
    std::optional<Charset> encoding;        // the input's; none: detected at its start
    std::optional<Charset> outputEncoding;  // none: the input's
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
