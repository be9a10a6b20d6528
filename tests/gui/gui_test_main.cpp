// The GUI tests' main: one QApplication and one application object for all
// tests. Listing the tests needs neither, so CTest can discover them
// anywhere.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/framework/qt/chinese_locale.h"
#include "ui/framework/win_app.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    // Run offscreen unless a display was asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    tornix::qt::UseChineseForQt();  // as the program does
    tornix::CWinApp app;
    return RUN_ALL_TESTS();
}
