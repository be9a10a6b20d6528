// One file of -i, --check or --diff, on its own: read, converted in its own
// encoding, and compared with what it holds as the bytes come. In place,
// the file is saved (as -o saves, files/safe_writer.h) only when the result
// differs, so a file that would not change keeps its time; the save begins
// where the first difference is. A file with NUL bytes that is not UTF-16 is
// no text: it is skipped, untouched.
#pragma once

#include <cstdint>
#include <string>

#include "cli/batch_files.h"
#include "cli/command_line.h"
#include "text/encoding.h"

namespace tornix {

struct FileOutcome {
    enum class Result { kConverted, kUnchanged, kWouldChange, kSkipped, kFailed };
    Result result = Result::kFailed;
    std::string listing;  // for standard output: the name (--check) or the diff (--diff) of a file that would change
    std::string notes;    // for standard error: why it was skipped or failed
};

// `allAscii`: the character set of a file whose start tells nothing.
FileOutcome ConvertFile(const BatchFile& file, const ConvertRequest& request, Charset allAscii, Charset terminal);

}  // namespace tornix
