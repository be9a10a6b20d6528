// The application object's start-up: it runs the converter window as the
// main window until the window closes, then tells the program to end.
#include "app/converter_app.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include "gui_test_support.h"
#include "ui/converter_dlg.h"

namespace tornix {
namespace {

TEST(ConverterAppTest, InitInstanceRunsConverterWindowUntilClosedThenEnds) {
    CConverterApp app;
    bool shown = false;
    QTimer::singleShot(0, [&app, &shown] {
        auto* dialog = dynamic_cast<CConverterDlg*>(app.m_pMainWnd);
        ASSERT_NE(dialog, nullptr) << "the converter dialog is the main window while it runs";
        auto* window = dynamic_cast<qt::DialogWindow*>(dialog->Host());
        ASSERT_NE(window, nullptr);
        shown = testing::WaitFor([window] { return window->isVisible(); });
        EXPECT_EQ(window->parentWidget(), nullptr) << "constructed without a parent";
        QTest::keyClick(window, Qt::Key_Escape);
    });
    EXPECT_FALSE(app.InitInstance()) << "false ends the program";
    EXPECT_TRUE(shown);
    EXPECT_EQ(app.m_pMainWnd, nullptr) << "no main window is left behind once it is gone";
}

}  // namespace
}  // namespace tornix
