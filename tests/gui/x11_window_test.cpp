// The windows as an X11 window manager sees them: the titles it reads from
// the X server, and the X windows that make up the converter window. Runs on
// a virtual X display (xvfb-run) with Qt's X11 platform; the X server is read
// over a connection of its own, as xprop or a window manager reads it.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QMessageBox>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "gui_test_support.h"
#include "ui/converter_dlg.h"

namespace tornix {
namespace {

using qt::DialogWindow;

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

class XServer {
public:
    XServer() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~XServer() { xcb_disconnect(m_connection); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Connected() const { return xcb_connection_has_error(m_connection) == 0; }

    // The text of a window's property, or nothing when it is not set.
    std::optional<std::string> Property(xcb_window_t window, const char* name) {
        const xcb_atom_t atom = Atom(name);
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection,
                                   xcb_get_property(m_connection, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
                                   nullptr),
            &std::free);
        if (!reply || reply->type == XCB_ATOM_NONE) return std::nullopt;
        const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
        return std::string(text, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    }

    // The X windows inside `window`.
    int ChildCount(xcb_window_t window) {
        const Reply<xcb_query_tree_reply_t> reply(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr), &std::free);
        return reply ? xcb_query_tree_children_length(reply.get()) : -1;
    }

private:
    xcb_atom_t Atom(const char* name) {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_connection,
                                  xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    xcb_connection_t* m_connection;
};

// The X window of a top-level widget, without making it native on the way.
xcb_window_t XWindow(const QWidget& widget) {
    return widget.windowHandle() ? static_cast<xcb_window_t>(widget.windowHandle()->winId()) : 0;
}

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb" || !server.Connected()) {
            GTEST_SKIP() << "needs an X display and Qt's xcb platform (run through xvfb-run)";
        }
    }

    XServer server;
    CConverterDlg dialog;
};

struct TitleCase {
    const char* name;
    const char* caption;   // null: the application's name
    const char* expected;  // UTF-8; null: the test program's name
};

class MessageBoxTitleTest : public X11WindowTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(MessageBoxTitleTest, WindowManagerReadsTheCaption) {
    const TitleCase& c = GetParam();
    const std::string expected = c.expected ? c.expected : QCoreApplication::applicationName().toStdString();
    testing::RunDialog(dialog, [&](DialogWindow&) {
        const bool opened = testing::WithModal([&] { dialog.MessageBox("abc", c.caption); },
                                               [&](QWidget* box) {
                                                   const xcb_window_t id = XWindow(*box);
                                                   ASSERT_NE(id, 0u);
                                                   EXPECT_EQ(server.Property(id, "_NET_WM_NAME"), expected);
                                                   // The older title, for window managers that read no
                                                   // other (as compound text where it is not ASCII).
                                                   if (expected.empty()) {
                                                       EXPECT_EQ(server.Property(id, "WM_NAME"), "");
                                                   }
                                               },
                                               "QMessageBox");
        EXPECT_TRUE(opened);
    });
}

INSTANTIATE_TEST_SUITE_P(Cases, MessageBoxTitleTest,
                         ::testing::Values(TitleCase{"EmptyCaptionIsBlank", "", ""},
                                           TitleCase{"NoCaptionIsTheApplicationsName", nullptr, nullptr},
                                           TitleCase{"CaptionAsGiven", "\xB9\xD8\xD3\xDA", "关于"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(X11WindowTest, ConverterWindowIsOneXWindowAlsoWithOwnedWindowsOpen) {
    testing::RunDialog(dialog, [&](DialogWindow& window) {
        const xcb_window_t id = XWindow(window);
        EXPECT_EQ(server.Property(id, "_NET_WM_NAME"), "Qelvar Ver. 1.0713");
        EXPECT_EQ(server.ChildCount(id), 0);
        const bool opened = testing::WithModal([&] { dialog.SendMessage(WM_COMMAND, ID_HELP, 0); },
                                               [&](QWidget* about) {
                                                   EXPECT_EQ(server.Property(XWindow(*about), "_NET_WM_NAME"), "关于");
                                                   EXPECT_EQ(server.ChildCount(id), 0);
                                               });
        EXPECT_TRUE(opened);
        EXPECT_EQ(server.ChildCount(id), 0);
        testing::WithModal([&] { dialog.MessageBox("abc", ""); },
                           [&](QWidget*) { EXPECT_EQ(server.ChildCount(id), 0) << "with a message box open"; });
        EXPECT_EQ(server.ChildCount(id), 0);
    });
}

}  // namespace
}  // namespace tornix
