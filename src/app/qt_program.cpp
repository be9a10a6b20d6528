#include "app/qt_program.h"

#include <QApplication>
#include <QMessageBox>

#include "files/pending_files.h"
#include "text/display_codec.h"
#include "ui/framework/qt/chinese_locale.h"
#include "ui/framework/win_app.h"

namespace tornix {

namespace {

// Shown, in place of the window, where ICU lacks the converters the program's
// texts need.
constexpr const char* kNoConverters = "缺少代码页 936 和 GB18030 的字符转换器（ICU），无法显示中文文本。";

}  // namespace

int RunQtProgram(char* programPath, const std::function<void(QApplication&)>& prepare) {
    // A save cut off by SIGINT, SIGTERM or SIGHUP leaves no temporary file.
    RemovePendingFilesOnTermination();
    int argc = 1;
    char* argv[] = {programPath, nullptr};
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The desktop entry's name, by which a Wayland desktop finds the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tornix.Tornix"));
    qt::UseChineseForQt();
    if (prepare) prepare(application);
    if (!DisplayCodecAvailable()) {
        QMessageBox::critical(nullptr, QString(), QString::fromUtf8(kNoConverters));
        return 1;
    }

    CWinApp* app = AfxGetApp();
    if (app != nullptr) app->InitInstance();
    return 0;
}

}  // namespace tornix
