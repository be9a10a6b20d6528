// The Qt program's start with a save under way: RunQtProgram sets up what it
// always does, then this begins saving FILE, prints "saving" and waits to be
// ended by a signal.
//   interrupted_save_probe FILE
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/qt_program.h"
#include "files/safe_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    return tornix::RunQtProgram(argv[0], [argv](QApplication&) {
        tornix::SafeFileWriter writer(argv[1]);
        if (writer.Open() != tornix::WriteStatus::kOk || !writer.Write("the first part of a save")) std::exit(3);
        std::printf("saving\n");
        std::fflush(stdout);
        for (;;) ::pause();
    });
}
