// tornix as it starts (src/app/main_qt.cpp: every argument a file), with one
// addition: once the window has settled it prints what the user sees, then
// closes it: "window: shown", "message: TEXT" for a message box over it
// (then dismissed), "owner: converter" when the window owns that box, and
// "input: HEX" for the input box's GBK bytes. start_file_test runs it on a
// virtual X display.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "app/converter_app.h"
#include "app/qt_program.h"
#include "res/resource.h"
#include "support/hex.h"
#include "ui/framework/dialog.h"
#include "ui/framework/qt/dialog_window.h"

namespace {

tornix::CConverterApp theApp;

// Polled until a message box is up, the input box holds text, or two seconds
// have passed since the window appeared.
void Report(int polls) {
    auto* dialog = theApp.m_pMainWnd;
    auto* window = dialog ? dynamic_cast<tornix::qt::DialogWindow*>(dialog->Host()) : nullptr;
    QMessageBox* box = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<QMessageBox*>(widget); found && found->isVisible()) box = found;
    }
    const bool filled = window && !window->GetItemText(IDC_INPUT).IsEmpty();
    if (!window || !window->isVisible() || (!box && !filled && polls < 40)) {
        QTimer::singleShot(50, [polls] { Report(polls + 1); });
        return;
    }
    std::printf("window: shown\n");
    if (box) {
        std::printf("message: %s\n", box->text().toUtf8().constData());
        if (box->parentWidget() == window) std::printf("owner: converter\n");
        box->accept();
    }
    std::printf("input: %s\n", tornix::testing::Hex(window->GetItemText(IDC_INPUT).view()).c_str());
    std::fflush(stdout);
    dialog->EndDialog(IDCANCEL);
}

}  // namespace

int main(int argc, char** argv) {
    theApp.m_commandLineFiles.assign(argv + 1, argv + argc);
    return tornix::RunQtProgram(argv[0], [](QApplication&) { QTimer::singleShot(0, [] { Report(0); }); });
}
