// A program that a console control event ends while a step that must not be
// cut off is under way, as tornix-convert.exe is while it rewrites a file in
// place:
//   console_event_probe FOLDER
// It takes a console of its own, installs the programs' handler
// (RemovePendingFilesOnTermination), begins a save of FOLDER\saved.txt (its
// temporary file is pending), and then, inside a TerminationDeferral, sends
// itself Ctrl+C and writes FOLDER\step.txt a moment later. The event must wait
// for the deferral, then remove the temporary file and end the program with
// Ctrl+C's status; the program never gets to write "not ended" there.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "files/pending_files.h"
#include "files/safe_writer.h"
#include "files/termination.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path folder = argv[1];
    ::FreeConsole();
    if (!::AllocConsole()) return 3;
    tornix::RemovePendingFilesOnTermination();
    tornix::SafeFileWriter save(folder / L"saved.txt");
    if (save.Open() != tornix::WriteStatus::kOk || !save.Write("never saved")) return 4;
    {
        const tornix::fs_os::TerminationDeferral deferral;
        if (!::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return 5;
        ::Sleep(500);
        std::ofstream(folder / L"step.txt") << "finished";
    }
    ::Sleep(5000);
    std::ofstream(folder / L"step.txt") << "not ended";
    return 0;
}
