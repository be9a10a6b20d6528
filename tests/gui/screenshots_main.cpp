// Writes pictures of the two windows, made from the real widgets:
//   tornix_screenshots <folder>
// gives <folder>/tornix-converter.png (after a conversion) and
// <folder>/tornix-about.png. scripts/screenshots.sh runs it offscreen.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "gui_test_support.h"
#include "ui/converter_dlg.h"
#include "ui/framework/qt/chinese_locale.h"
#include "ui/framework/win_app.h"

namespace {

using tornix::qt::DialogWindow;

// Hello, World! / 半角转全角：ABC abc 123 / a.b / three spaces
const char* const kSample =
    "Hello, World!\n\xB0\xEB\xBD\xC7\xD7\xAA\xC8\xAB\xBD\xC7\xA3\xBA ABC abc 123 ($5.00)\na   b = c/d";

bool Save(QWidget& widget, const QString& path) {
    const bool saved = widget.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    tornix::qt::UseChineseForQt();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    tornix::CWinApp app;
    tornix::CConverterDlg dialog;
    bool saved = true;
    tornix::testing::RunDialog(dialog, [&](DialogWindow& window) {
        window.SetItemText(IDC_INPUT, tornix::GbkString(std::string_view(kSample)));
        QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(IDC_TO_FULL)), Qt::LeftButton);
        window.Control(IDC_INPUT)->setFocus();
        QApplication::processEvents();
        saved = Save(window, folder.filePath("tornix-converter.png")) && saved;
        tornix::testing::WithModal([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1); },
                                   [&](QWidget* about) {
                                       tornix::testing::WaitFor([about] { return about->isActiveWindow(); });
                                       saved = Save(*about, folder.filePath("tornix-about.png")) && saved;
                                   });
    });
    return saved ? 0 : 1;
}
