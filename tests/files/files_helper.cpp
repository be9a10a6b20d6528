// Runs one file operation and prints its outcome, so that tests can run it as
// another (unprivileged) user:
//   files_helper exists PATH              -> 0 | 1
//   files_helper read PATH                -> STATUS ERRNO LENGTH
//   files_helper write PATH TEXT [LIMIT]  -> STATUS ERRNO
// LIMIT makes the disk full (ENOSPC) after that many bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/text_file.h"
#include "support/io_faults.h"

int main(int argc, char** argv) {
    using namespace tornix;
    const std::string command = argc > 2 ? argv[1] : "";
    if (command == "exists") {
        std::printf("%d\n", FileExists(argv[2]) ? 1 : 0);
    } else if (command == "read") {
        const ReadResult result = ReadTextFile(argv[2]);
        std::printf("%d %d %zu\n", static_cast<int>(result.status), result.error, result.text.GetLength());
    } else if (command == "write" && argc > 3) {
        testing::WriteFaults faults;
        if (argc > 4) faults.failAfterBytes = std::atoll(argv[4]);
        const testing::ScopedWriteFaults scoped(faults);
        SafeFileWriter writer(argv[2]);
        WriteStatus status = writer.Open();
        if (status == WriteStatus::kOk) {
            status = writer.Write(argv[3]) ? writer.Commit() : WriteStatus::kWriteFailed;
        }
        std::printf("%d %d\n", static_cast<int>(status), writer.LastError());
    } else {
        std::fprintf(stderr, "usage: files_helper exists|read|write PATH [TEXT [LIMIT]]\n");
        return 2;
    }
    return 0;
}
