// tornix-convert -i, --check and --diff: each file named, or found in the
// folders named, converted on its own (cli/file_job.h), by one worker a
// processor, with what is said about each file in the order of the listing;
// a progress line on a terminal; then one line of summary.
#pragma once

#include "cli/command_line.h"
#include "cli/convert_command.h"

namespace tornix {

// Exit status: 1 when a file failed, or (--check, --diff) would change; 2 for
// a FOLDER given without -r (nothing is done then); else 0.
[[nodiscard]] int RunBatch(const ConvertRequest& request, const ProgramStreams& streams);

}  // namespace tornix
