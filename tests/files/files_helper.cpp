// Runs one file operation and prints its outcome, so that tests can run it as
// another (unprivileged) user:
//   files_helper exists PATH                 -> 0 | 1
//   files_helper read PATH                   -> STATUS ERRNO LENGTH
//   files_helper write PATH TEXT [FAULT...]  -> STATUS ERRNO PROBLEM
//                                               [the problem's path]
//                                               modes: CREATED... / WRITTEN...
// A FAULT is full=N (the disk is full, ENOSPC, after N bytes) or raise=SIG:N
// (the helper sends itself signal SIG once N bytes are written; 9 is a crash).
// A termination signal removes the pending temporary files, as in the programs.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/pending_files.h"
#include "files/text_file.h"
#include "support/io_faults.h"

namespace {

tornix::testing::WriteFaults ParseFaults(int count, char** faults) {
    tornix::testing::WriteFaults parsed;
    for (int i = 0; i < count; ++i) {
        const std::string fault = faults[i];
        if (fault.rfind("full=", 0) == 0) parsed.failAfterBytes = std::atoll(fault.c_str() + 5);
        if (fault.rfind("raise=", 0) == 0) {
            parsed.raiseSignal = std::atoi(fault.c_str() + 6);
            parsed.raiseAfterBytes = std::atoll(fault.c_str() + fault.find(':') + 1);
        }
    }
    return parsed;
}

void PrintModes(const char* what, const std::vector<unsigned>& modes) {
    std::printf(" %s", what);
    for (unsigned mode : modes) std::printf(" %o", mode);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tornix;
    RemovePendingFilesOnTermination();
    const std::string command = argc > 2 ? argv[1] : "";
    if (command == "exists") {
        std::printf("%d\n", FileExists(argv[2]) ? 1 : 0);
    } else if (command == "read") {
        const ReadResult result = ReadTextFile(argv[2]);
        std::printf("%d %d %zu\n", static_cast<int>(result.status), result.error, result.text.GetLength());
    } else if (command == "write" && argc > 3) {
        const testing::ScopedWriteFaults scoped(ParseFaults(argc - 4, argv + 4));
        SafeFileWriter writer(argv[2]);
        WriteStatus status = writer.Open();
        if (status == WriteStatus::kOk) {
            status = writer.Write(argv[3]) ? writer.Commit() : WriteStatus::kWriteFailed;
        }
        std::printf("%d %d %d\n", static_cast<int>(status), writer.LastError(), static_cast<int>(writer.Problem()));
        if (!writer.ProblemPath().empty()) std::printf("%s\n", writer.ProblemPath().c_str());
        std::printf("modes:");
        PrintModes("created", testing::RecordedFileEvents().createdModes);
        PrintModes("written", testing::RecordedFileEvents().writtenModes);
        std::printf("\n");
    } else {
        std::fprintf(stderr, "usage: files_helper exists|read|write PATH [TEXT [FAULT...]]\n");
        return 2;
    }
    return 0;
}
