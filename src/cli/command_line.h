// The arguments of tornix-convert, read into a plain request:
//
//   tornix-convert --to-full [options] [FILE...]
//   tornix-convert --to-half [options] [FILE...]
//     -o, --output FILE   (also -oFILE and --output=FILE; "-" is standard output)
//     -e, --encoding NAME (also -eNAME and --encoding=NAME)
//         --output-encoding NAME
//         --trim
//         --table NAME        classic (the default) or unicode
//         --only CLASS,...    letters, digits, punctuation, space
//         --keep CHARS        (may be given again; the characters add up)
//         --keep-chinese-punctuation
//         --context
//     -i, --in-place, --check, --diff   (each FILE or FOLDER on its own)
//     -r, --recursive
//         --include GLOB, --exclude GLOB   (also --include=GLOB; each may be given again)
//     -q, --quiet
//     -h, --help
//         --version
//
// "-" names standard input; "--" ends the options. No FILE means standard
// input. Encoding names: auto (for -e only), and the names and aliases of the
// character sets' records (text/encoding.h: gbk, gb18030, utf-8, utf-16le,
// utf-16be; cp936, utf8, utf16le, utf16be), in any case; table and class
// names in any case too. The characters of --keep are in the encoding of the
// arguments (the terminal's on POSIX, UTF-8 as Windows' entry point gives
// them) and become the policy's code page 936 text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/width_policy.h"
#include "convert/width_stream.h"
#include "text/encoding.h"

namespace tornix {

// How the inputs are taken: as one text to one output, or each file on its own.
enum class BatchMode {
    kNone,
    kInPlace,  // -i: each file rewritten where it is
    kCheck,    // --check: nothing written; the files that would change listed
    kDiff,     // --diff: nothing written; what would change shown as a unified diff
};

struct ConvertRequest {
    WidthDirection direction = WidthDirection::kToFull;
    bool trim = false;
    std::optional<std::string> output;      // none: standard output
    std::vector<std::string> inputs;        // in order; empty: standard input
    std::optional<Charset> encoding;        // the input's; none: detected at its start
    std::optional<Charset> outputEncoding;  // none: the input's
    BatchMode batch = BatchMode::kNone;     // with it, `inputs` are files and folders
    bool recursive = false;                 // folders are walked
    std::vector<std::string> include;       // a walked file's name matches one of these (none: every file)
    std::vector<std::string> exclude;       // a walked file or folder whose name matches one is left out
    bool quiet = false;                     // no progress line, no summary
    WidthPolicy policy;                     // what converts
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
// `arguments` is the encoding the arguments are in.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& args, Charset arguments = Charset::kUtf8);

}  // namespace tornix
