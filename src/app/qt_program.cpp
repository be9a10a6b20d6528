#include "app/qt_program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/framework/win_app.h"

namespace tornix {

namespace {

// Qt's own texts (the file chooser, the edit boxes' menus) in Chinese.
void InstallQtTranslation(QApplication& application, QTranslator& translator) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        folder)) {
        application.installTranslator(&translator);
    }
}

}  // namespace

int RunQtProgram(char* programPath, const std::function<void(QApplication&)>& prepare) {
    int argc = 1;
    char* argv[] = {programPath, nullptr};
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    QTranslator translator;
    InstallQtTranslation(application, translator);
    if (prepare) prepare(application);

    CWinApp* app = AfxGetApp();
    if (app != nullptr) app->InitInstance();
    return 0;
}

}  // namespace tornix
