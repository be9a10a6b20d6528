// Writes pictures of the program's windows, made from the real widgets:
//   tornix_screenshots <folder>
// gives, in <folder>, tornix-converter.png (after a conversion),
// tornix-about.png, tornix-message.png (the message for an empty input),
// tornix-chooser.png (the open chooser over a folder of sample files),
// tornix-open-chooser.png (the same with its encoding list open, Big5 in it
// picked) and tornix-save-chooser.png (the save chooser after a UTF-8 file
// was loaded). On an
// X display with a window manager (scripts/screenshots.sh) each picture is
// taken from the screen with the window's frame; offscreen, from the widget.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "gui_test_support.h"
#include "ui/converter_dlg.h"
#include "ui/framework/qt/chinese_locale.h"
#include "ui/framework/qt/file_chooser.h"
#include "ui/framework/win_app.h"

namespace {

using tornix::qt::DialogWindow;
using tornix::testing::WaitFor;
using tornix::testing::WithModal;

// Hello, World! / 半角转全角：ABC abc 123 / a.b / three spaces
const char* const kSample =
    "Hello, World!\n\xB0\xEB\xBD\xC7\xD7\xAA\xC8\xAB\xBD\xC7\xA3\xBA ABC abc 123 ($5.00)\na   b = c/d";

// Lets the window manager frame and draw a window that was just shown.
void Settle() {
    QTest::qWait(400);
}

// The window with its frame as the screen shows it (and `also`, a popup over
// it, in the screen's coordinates), or the widget alone where there is no
// screen to read (offscreen).
bool Save(QWidget& widget, const QString& path, const QRect& also = {}) {
    Settle();
    QPixmap picture;
    if (QGuiApplication::platformName() == "xcb" && widget.screen()) {
        const QRect frame = widget.frameGeometry().united(also);
        picture = widget.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    } else {
        picture = widget.grab();
    }
    const bool saved = picture.save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

void Click(DialogWindow& window, int id) {
    QTest::mouseClick(qobject_cast<QPushButton*>(window.Control(id)), Qt::LeftButton);
}

// A folder of text files with Chinese and Latin names, for the chooser; 说明.txt
// is UTF-8.
void FillSampleFolder(const QDir& folder) {
    const char* const files[][2] = {
        {"\xE8\xAF\xB4\xE6\x98\x8E.txt", "\xE5\x85\xA8\xE8\xA7\x92\xE4\xB8\x8E\xE5\x8D\x8A\xE8\xA7\x92\n"},  // 说明.txt
        {"notes.txt", "Hello, World!\n"},
        {"index.html", "<p>Tornix</p>\n"},
    };
    for (const auto& file : files) {
        QFile out(folder.filePath(QString::fromUtf8(file[0])));
        if (out.open(QIODevice::WriteOnly)) out.write(file[1]);
    }
    folder.mkdir(QString::fromUtf8("\xE6\x96\x87\xE6\xA1\xA3"));  // 文档
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
    QTemporaryDir samples;
    FillSampleFolder(QDir(samples.path()));
    tornix::CWinApp app;
    tornix::CConverterDlg dialog;
    bool saved = true;
    tornix::testing::RunDialog(dialog, [&](DialogWindow& window) {
        window.SetItemText(IDC_INPUT, tornix::GbkString(std::string_view(kSample)));
        Click(window, IDC_TO_FULL);
        window.Control(IDC_INPUT)->setFocus();
        saved = Save(window, folder.filePath("tornix-converter.png")) && saved;
        WithModal([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1); },
                  [&](QWidget* about) {
                      WaitFor([about] { return about->isActiveWindow(); });
                      saved = Save(*about, folder.filePath("tornix-about.png")) && saved;
                  });
        WithModal([&] { Click(window, IDC_LOAD); },
                  [&](QWidget* widget) {
                      auto* chooser = qobject_cast<QFileDialog*>(widget);
                      if (chooser == nullptr) return;
                      chooser->setDirectory(samples.path());
                      chooser->setViewMode(QFileDialog::Detail);
                      saved = Save(*chooser, folder.filePath("tornix-chooser.png")) && saved;
                      auto* list = chooser->findChild<QComboBox*>(tornix::qt::kChoiceListName);
                      if (list == nullptr) return;
                      list->setCurrentIndex(list->findText(QStringLiteral("Big5")));
                      list->showPopup();
                      QWidget* popup = list->view()->window();
                      saved =
                          Save(*chooser, folder.filePath("tornix-open-chooser.png"), popup->frameGeometry()) && saved;
                      list->hidePopup();
                  });
        WithModal([&] { Click(window, IDC_LOAD); },
                  [&](QWidget* widget) {
                      auto* chooser = qobject_cast<QFileDialog*>(widget);
                      if (chooser == nullptr) return;
                      chooser->setDirectory(samples.path());
                      auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                      if (name == nullptr) return;
                      name->setText(QString::fromUtf8("\xE8\xAF\xB4\xE6\x98\x8E.txt"));
                      QTest::keyClick(name, Qt::Key_Return);
                  });
        Click(window, IDC_TO_HALF);
        WithModal([&] { Click(window, IDC_SAVE_AS); },
                  [&](QWidget* widget) {
                      auto* chooser = qobject_cast<QFileDialog*>(widget);
                      auto* list = widget->findChild<QComboBox*>(tornix::qt::kChoiceListName);
                      if (chooser == nullptr || list == nullptr) return;
                      chooser->setDirectory(samples.path());
                      chooser->setViewMode(QFileDialog::Detail);
                      chooser->selectFile(QStringLiteral("notes-half.txt"));
                      saved = Save(*chooser, folder.filePath("tornix-save-chooser.png")) && saved;
                  });
        window.SetItemText(IDC_INPUT, tornix::GbkString(""));
        WithModal([&] { Click(window, IDC_TO_HALF); },
                  [&](QWidget* box) { saved = Save(*box, folder.filePath("tornix-message.png")) && saved; },
                  "QMessageBox");
    });
    return saved ? 0 : 1;
}
