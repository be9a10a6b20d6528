// The Linux entry point: the one application object, then Qt and the
// application's start-up. Every argument is a file to open, its name taken as
// the bytes it is (a name that is not UTF-8 included); Qt sees none of them.
#include "app/converter_app.h"
#include "app/qt_program.h"

namespace {
tornix::CConverterApp theApp;
}

int main(int argc, char** argv) {
    theApp.m_commandLineFiles.assign(argv + 1, argv + argc);
    return tornix::RunQtProgram(argv[0]);
}
