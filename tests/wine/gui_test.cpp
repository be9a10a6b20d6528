// The converter window and the About box as the Win32 back end builds them
// from the shared templates, driven with window messages: typing, clicking,
// the refusal message, the system menu, keyboard navigation, closing, and the
// layout in dialog units.
#include "gui_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "res/dialog_templates.h"
#include "res/resource.h"
#include "ui/converter_dlg.h"
#include "ui/framework/win32/wide_text.h"
#include "ui/framework/win_app.h"

namespace tornix::gui {
namespace {

const std::wstring kConverterCaption = L"Qelvar Ver. 1.0713";
const std::wstring kAboutCaption = L"关于";
constexpr UINT kKeyF1 = 0x004D;  // WM_KEYF1, which the SDK headers leave out

// The application object: the converter window becomes its main window and
// so the About box's owner.
CWinApp g_app;

std::wstring MenuItemText(HMENU menu, int position) {
    wchar_t text[128] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = 127;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
    return text;
}

HWND FocusOf(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

// One expected control, from the template data: the window class, id, text
// (empty for the controls that show none), rectangle in dialog units, style
// bits, extended style; and style bits that the layout forbids.
struct ExpectedControl {
    std::wstring className;
    int id;  // -1: a control the program never addresses
    std::wstring text;
    RECT units;  // left, top, width, height
    DWORD style;
    DWORD forbidden;
    DWORD exStyle;
    bool sizedByImage = false;  // an icon control takes its icon's size
};

// No default button, no automatic vertical scrolling, no horizontal scroll
// bar; the output box is read-only and the input box is not.
DWORD ForbiddenStyle(const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::kEdit:
            return ES_AUTOVSCROLL | WS_HSCROLL | (control.id == IDC_INPUT ? ES_READONLY : ES_WANTRETURN);
        case ControlKind::kPushButton:
            return control.id == IDOK ? 0 : BS_DEFPUSHBUTTON;
        case ControlKind::kLabel:
        case ControlKind::kIcon:
            return 0;
    }
    return 0;
}

std::vector<ExpectedControl> ExpectedControlsOf(unsigned templateId) {
    const DialogTemplate* dialog = FindDialogTemplate(templateId);
    std::vector<ExpectedControl> controls;
    if (dialog == nullptr) return controls;
    for (std::size_t i = 0; i < dialog->controlCount; ++i) {
        const ControlTemplate& control = dialog->controls[i];
        const bool icon = control.kind == ControlKind::kIcon;
        controls.push_back({control.kind == ControlKind::kEdit         ? L"Edit"
                            : control.kind == ControlKind::kPushButton ? L"Button"
                                                                       : L"Static",
                            control.id, icon ? L"" : win32::ToWide(control.text),
                            RECT{control.x, control.y, control.cx, control.cy}, control.style, ForbiddenStyle(control),
                            control.exStyle, icon});
    }
    return controls;
}

// The dialog manager converts the position and the size separately.
RECT InPixels(HWND dialog, RECT units) {
    RECT mapped = units;
    ::MapDialogRect(dialog, &mapped);
    return {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
}

RECT ClientRectOf(HWND dialog, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
    if (::EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rect " << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << " instead of " << expected.left << "," << expected.top
                                         << "," << expected.right << "," << expected.bottom;
}

// Checks each child of `dialog` against the template `templateId`, in
// creation (= tab) order.
void ExpectControls(HWND dialog, unsigned templateId) {
    const std::vector<ExpectedControl> expectedControls = ExpectedControlsOf(templateId);
    const std::vector<HWND> children = Children(dialog);
    ASSERT_FALSE(expectedControls.empty());
    ASSERT_EQ(children.size(), expectedControls.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& want = expectedControls[i];
        const HWND child = children[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(ClassName(child), want.className);
        EXPECT_EQ(::GetDlgCtrlID(child) & 0xFFFF, want.id & 0xFFFF);
        if (!want.sizedByImage) {
            EXPECT_EQ(WindowText(child), want.text);
        }
        const auto style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
        EXPECT_EQ(style & want.style, want.style) << std::hex << style;
        EXPECT_EQ(style & want.forbidden, 0u) << std::hex << style;
        const auto exStyle = static_cast<DWORD>(::GetWindowLongW(child, GWL_EXSTYLE));
        EXPECT_EQ(exStyle & want.exStyle, want.exStyle) << std::hex << exStyle;
        const RECT actual = ClientRectOf(dialog, child);
        const RECT expected = InPixels(dialog, want.units);
        if (want.sizedByImage) {
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
        } else {
            EXPECT_TRUE(SameRect(actual, expected));
        }
    }
}

class ConverterWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_ui = std::make_unique<UiThread>([this] {
            CConverterDlg dialog;
            g_app.m_pMainWnd = &dialog;
            m_result = dialog.DoModal();
            g_app.m_pMainWnd = nullptr;
        });
        m_dialog = WaitForWindow([this] { return FindThreadDialog(m_ui->Id(), kConverterCaption); });
        ASSERT_NE(m_dialog, nullptr) << "the converter window did not open";
    }

    void TearDown() override {
        // Close whatever is still open, innermost first, so the thread ends.
        while (HWND box = FindOwnedDialog(m_dialog)) {
            ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            WaitUntil([box] { return !::IsWindow(box); });
        }
        if (::IsWindow(m_dialog)) ::PostMessageW(m_dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(m_ui->Join()) << "the converter window did not close";
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    void Type(int id, const std::wstring& text) const {
        ::SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    // A click whose handler returns without opening another window.
    void Click(int id) const { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    // A click that opens a window: posted, so that this thread stays free.
    HWND ClickAndWaitForBox(int id) const {
        ::PostMessageW(Item(id), BM_CLICK, 0, 0);
        return WaitForWindow([this] { return FindOwnedDialog(m_dialog); });
    }
    // Returns once the window's thread has handled everything sent before.
    void Settle() const { ::SendMessageW(m_dialog, WM_NULL, 0, 0); }
    void Focus(int id) const { ::SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }
    void PressKey(int id, WPARAM key) const {
        ::PostMessageW(Item(id), WM_KEYDOWN, key, 1);
        ::PostMessageW(Item(id), WM_KEYUP, key, 0xC0000001);
    }
    bool Closed() const { return !::IsWindow(m_dialog); }

    std::unique_ptr<UiThread> m_ui;
    HWND m_dialog = nullptr;
    int m_result = 0;
};

struct ConversionCase {
    const char* name;
    int button;
    std::wstring typed;
    std::wstring output;
    std::wstring inputAfter;
};

class ConversionTest : public ConverterWindowTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(ConversionTest, ShowsTheResultAndTheTrimmedInput) {
    const ConversionCase& c = GetParam();
    Type(IDC_OUTPUT, L"old result");
    Type(IDC_INPUT, c.typed);
    Click(c.button);
    EXPECT_EQ(Text(IDC_OUTPUT), c.output);
    EXPECT_EQ(Text(IDC_INPUT), c.inputAfter);
    EXPECT_EQ(FindOwnedDialog(m_dialog), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Win32, ConversionTest,
                         ::testing::Values(ConversionCase{"ToFullKeepsSingleSpaces", IDC_TO_FULL, L"  Hello, World!  ",
                                                          L"Ｈｅｌｌｏ， Ｗｏｒｌｄ！", L"Hello, World!"},
                                           ConversionCase{"ToFullThreeSpacesAndFullStop", IDC_TO_FULL, L"a   b.c/",
                                                          L"ａ　ｂ。ｃ／", L"a   b.c/"},
                                           ConversionCase{"ToHalfDoublesTheSolidus", IDC_TO_HALF, L"ａ。ｂ／１　＄～",
                                                          L"a.b//1   $~", L"ａ。ｂ／１　＄～"},
                                           ConversionCase{"LineBreaksStayCrLf", IDC_TO_FULL, L"\r\nab\r\ncd\r\n",
                                                          L"ａｂ\r\nｃｄ", L"ab\r\ncd"},
                                           // Characters that code page 936 cannot hold come back unchanged.
                                           ConversionCase{"CharactersOutsideTheCodePageSurvive", IDC_TO_FULL,
                                                          L"中文😀€ x", L"中文😀€ ｘ", L"中文😀€ x"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    int button;
    std::wstring typedInput;
    std::wstring message;
};

class RefusalTest : public ConverterWindowTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, ShowsTheMessageWithABlankTitleAndChangesNothing) {
    const RefusalCase& c = GetParam();
    Type(IDC_INPUT, c.typedInput);
    const HWND box = ClickAndWaitForBox(c.button);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(WindowText(box), L"");
    std::vector<std::wstring> texts;
    int buttons = 0;
    for (HWND child : Children(box)) {
        if (!::IsWindowVisible(child)) continue;
        if (ClassName(child) == L"Button") ++buttons;
        if (ClassName(child) == L"Static" && !WindowText(child).empty()) texts.push_back(WindowText(child));
        if (ClassName(child) == L"Static" && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            EXPECT_EQ(::SendMessageW(child, STM_GETICON, 0, 0), 0) << "the box shows an icon";
        }
    }
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(texts, std::vector<std::wstring>{c.message});
    EXPECT_FALSE(::IsWindowEnabled(m_dialog)) << "the box is not modal";

    ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([box] { return !::IsWindow(box); }));
    Settle();
    EXPECT_EQ(FindOwnedDialog(m_dialog), nullptr) << "another window opened after the message";
    EXPECT_EQ(Text(IDC_INPUT), c.typedInput);
    EXPECT_EQ(Text(IDC_OUTPUT), L"");
}

INSTANTIATE_TEST_SUITE_P(
    Win32, RefusalTest,
    ::testing::Values(RefusalCase{"ToHalfOfWhiteSpace", IDC_TO_HALF, L" \t\r\n  ", L"要转换的文本内容不能为空！"},
                      RefusalCase{"ToFullOfNothing", IDC_TO_FULL, L"", L"要转换的文本内容不能为空！"},
                      RefusalCase{"SaveAsBeforeAnyConversion", IDC_SAVE_AS, L"abc", L"输出结果为空！操作取消！"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConverterWindowTest, SystemMenuEndsWithASeparatorAndTheAboutEntry) {
    const HMENU menu = ::GetSystemMenu(m_dialog, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(count - 2), TRUE, &separator));
    EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUT));
    EXPECT_EQ(MenuItemText(menu, count - 1), L"关于(&A)...");
}

class AboutCommandTest : public ConverterWindowTest, public ::testing::WithParamInterface<WPARAM> {};

TEST_P(AboutCommandTest, OpensTheAboutBoxOwnedByTheWindow) {
    ::PostMessageW(m_dialog, WM_SYSCOMMAND, GetParam(), 0);
    const HWND about = WaitForWindow([this] { return FindOwnedDialog(m_dialog); });
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(about), kAboutCaption);
    EXPECT_FALSE(::IsWindowEnabled(m_dialog));
    ::PostMessageW(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([about] { return !::IsWindow(about); }));
    EXPECT_TRUE(::IsWindowEnabled(m_dialog));
}

// The low four bits of the command are not looked at.
INSTANTIATE_TEST_SUITE_P(Win32, AboutCommandTest, ::testing::Values(WPARAM{0x0010}, WPARAM{0x0015}, WPARAM{0x001F}));

TEST_F(ConverterWindowTest, AboutBoxIsLaidOutFromItsTemplateAndClosesOnEscape) {
    ::PostMessageW(m_dialog, WM_SYSCOMMAND, IDM_ABOUT, 0);
    const HWND about = WaitForWindow([this] { return FindOwnedDialog(m_dialog); });
    ASSERT_NE(about, nullptr);
    ExpectControls(about, IDD_ABOUT);
    EXPECT_NE(::SendMessageW(Children(about)[0], STM_GETICON, 0, 0), 0) << "the About box shows no icon";
    RECT client{};
    ::GetClientRect(about, &client);
    EXPECT_TRUE(SameRect(client, InPixels(about, {0, 0, 235, 55})));
    // Centred over the converter window.
    RECT outer{}, inner{};
    ::GetWindowRect(m_dialog, &outer);
    ::GetWindowRect(about, &inner);
    EXPECT_NEAR((inner.left + inner.right) / 2, (outer.left + outer.right) / 2, 1);
    EXPECT_NEAR((inner.top + inner.bottom) / 2, (outer.top + outer.bottom) / 2, 1);

    ::PostMessageW(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(WaitUntil([about] { return !::IsWindow(about); })) << "Esc did not close the About box";
    EXPECT_FALSE(Closed());
}

// The system turns a pressed F1 into WM_KEYF1 for the focused control; from
// there on the path is the window's own.
TEST_F(ConverterWindowTest, F1OpensTheAboutBox) {
    Focus(IDC_INPUT);
    ::PostMessageW(Item(IDC_INPUT), kKeyF1, 0, 0);
    const HWND about = WaitForWindow([this] { return FindOwnedDialog(m_dialog); });
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(about), kAboutCaption);
}

TEST_F(ConverterWindowTest, ControlsHaveTheirIdsTextsStylesAndPlaces) {
    ExpectControls(m_dialog, IDD_CONVERTER);
}

TEST_F(ConverterWindowTest, WindowCanBeMinimizedButNotResizedAndOpensCentred) {
    const auto style = static_cast<DWORD>(::GetWindowLongW(m_dialog, GWL_STYLE));
    const DWORD expected =
        WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(style & expected, expected) << std::hex << style;
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u) << std::hex << style;
    EXPECT_NE(::GetWindowLongW(m_dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(WindowText(m_dialog), kConverterCaption);

    RECT client{};
    ::GetClientRect(m_dialog, &client);
    EXPECT_TRUE(SameRect(client, InPixels(m_dialog, {0, 0, 449, 342})));

    RECT window{}, area{};
    ::GetWindowRect(m_dialog, &window);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR((window.left + window.right) / 2, (area.left + area.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

TEST_F(ConverterWindowTest, DialogFontIsNinePointSongTi) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(m_dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    ASSERT_NE(::GetObjectW(font, sizeof logFont, &logFont), 0);
    EXPECT_STREQ(logFont.lfFaceName, L"宋体");
    const HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(logFont.lfHeight, -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    ::ReleaseDC(nullptr, screen);
}

TEST_F(ConverterWindowTest, TabRunsThroughTheControlsInTemplateOrder) {
    const int order[] = {IDC_INPUT, IDC_LOAD, IDC_TO_HALF, IDC_TO_FULL, IDC_SAVE_AS, IDC_OUTPUT, IDC_INPUT};
    ASSERT_TRUE(WaitUntil([this] { return FocusOf(m_ui->Id()) != nullptr; }));
    EXPECT_EQ(FocusOf(m_ui->Id()), Item(IDC_INPUT)) << "the input box does not have the focus at first";
    for (std::size_t i = 1; i < std::size(order); ++i) {
        ::SendMessageW(m_dialog, WM_NEXTDLGCTL, 0, FALSE);
        EXPECT_EQ(::GetDlgCtrlID(FocusOf(m_ui->Id())), order[i]) << "step " << i;
    }
}

class EscapeTest : public ConverterWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(EscapeTest, EscapeInAnEditBoxClosesTheWindow) {
    Focus(GetParam());
    PressKey(GetParam(), VK_ESCAPE);
    EXPECT_TRUE(m_ui->Join()) << "Esc did not close the window";
    EXPECT_EQ(m_result, IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(Win32, EscapeTest, ::testing::Values(IDC_INPUT, IDC_OUTPUT));

// System commands other than the About entry keep their usual effect.
TEST_F(ConverterWindowTest, MinimizeAndCloseFromTheSystemMenuWork) {
    ::SendMessageW(m_dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(m_dialog));
    ::SendMessageW(m_dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(::IsIconic(m_dialog));
    ::PostMessageW(m_dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(m_ui->Join()) << "SC_CLOSE did not close the window";
    EXPECT_EQ(m_result, IDCANCEL);
}

TEST_F(ConverterWindowTest, EnterBreaksTheLineInTheInputAndDoesNothingInTheOutput) {
    Type(IDC_INPUT, L"ab");
    Type(IDC_OUTPUT, L"cd");
    Focus(IDC_INPUT);
    ::SendMessageW(Item(IDC_INPUT), EM_SETSEL, 1, 1);
    PressKey(IDC_INPUT, VK_RETURN);
    ASSERT_TRUE(WaitUntil([this] { return Text(IDC_INPUT) == L"a\r\nb"; }));
    Focus(IDC_OUTPUT);
    PressKey(IDC_OUTPUT, VK_RETURN);
    Settle();
    Click(IDC_TO_FULL);  // a marker: handled after the keys
    EXPECT_FALSE(Closed());
    EXPECT_EQ(FindOwnedDialog(m_dialog), nullptr);
    EXPECT_EQ(Text(IDC_OUTPUT), L"ａ\r\nｂ");
}

TEST_F(ConverterWindowTest, ProgramIconIsTheWindowIconAndTheDragIcon) {
    const LRESULT big = ::SendMessageW(m_dialog, WM_GETICON, ICON_BIG, 0);
    const LRESULT small = ::SendMessageW(m_dialog, WM_GETICON, ICON_SMALL, 0);
    EXPECT_NE(big, 0);
    EXPECT_EQ(small, big);
    EXPECT_EQ(big, reinterpret_cast<LRESULT>(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN))));
    ::ShowWindow(m_dialog, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([this] { return ::IsIconic(m_dialog) != FALSE; }));
    ::RedrawWindow(m_dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(::SendMessageW(m_dialog, WM_QUERYDRAGICON, 0, 0), big);
}

}  // namespace
}  // namespace tornix::gui
