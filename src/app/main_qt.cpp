// The Linux entry point: the one application object, Qt, and its start-up.
// Command-line arguments are ignored.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/converter_app.h"

namespace {

tornix::CConverterApp theApp;

// Qt's own texts (the file chooser, the edit boxes' menus) in Chinese.
void InstallQtTranslation(QApplication& application, QTranslator& translator) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        folder)) {
        application.installTranslator(&translator);
    }
}

}  // namespace

int main(int, char** argv) {
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    application.setQuitOnLastWindowClosed(false);
    QTranslator translator;
    InstallQtTranslation(application, translator);

    tornix::CWinApp* app = tornix::AfxGetApp();
    if (app != nullptr) app->InitInstance();
    return 0;
}
