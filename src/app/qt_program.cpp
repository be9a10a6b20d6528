#include "app/qt_program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include "files/pending_files.h"
#include "text/display_codec.h"
#include "ui/framework/win_app.h"

namespace tornix {

namespace {

// Shown, in place of the window, where ICU lacks the converters the program's
// texts need.
constexpr const char* kNoConverters = "缺少代码页 936 和 GB18030 的字符转换器（ICU），无法显示中文文本。";

// Qt's own texts (the file chooser, the edit boxes' menus) in Chinese.
void InstallQtTranslation(QTranslator& translator) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        folder)) {
        QCoreApplication::installTranslator(&translator);
    }
}

}  // namespace

int RunQtProgram(char* programPath, const std::function<void(QApplication&)>& prepare) {
    // A save cut off by SIGINT, SIGTERM or SIGHUP leaves no temporary file.
    RemovePendingFilesOnTermination();
    int argc = 1;
    char* argv[] = {programPath, nullptr};
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator translator;
    InstallQtTranslation(translator);
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
