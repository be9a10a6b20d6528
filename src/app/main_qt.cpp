// The Linux entry point: the one application object, then Qt and the
// application's start-up. Command-line arguments are ignored.
#include "app/converter_app.h"
#include "app/qt_program.h"

namespace {
tornix::CConverterApp theApp;
}

int main(int, char** argv) {
    return tornix::RunQtProgram(argv[0]);
}
