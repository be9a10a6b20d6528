// The files that -i, --check and --diff work on, from the names given: each
// FILE; the files of each FOLDER and, with -r, of the folders in it, in the
// order of their names, with --include and --exclude applied. Symbolic links
// inside a folder are not followed; FIFOs, sockets and devices are never
// opened; the program's own temporary files and backups are left alone; a
// file reached twice (named twice, or through a hard link) is taken once.
// On Windows, a name with * or ? is matched by the program itself, as its
// shell does not.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "text/encoding.h"

namespace tornix {

struct BatchFile {
    std::filesystem::path path;
    std::string shown;       // its name in messages: as given, then the names below it
    std::uint64_t size = 0;  // when it was listed
};

struct BatchListing {
    std::vector<BatchFile> files;
    std::string notes;  // one line for each entry skipped or that could not be read, in order
    unsigned skipped = 0;
    unsigned failed = 0;
    std::string usageError;  // a FOLDER given without -r: nothing is to be done
};

BatchListing ListBatchFiles(const ConvertRequest& request, Charset terminal);

}  // namespace tornix
