#include "res/dialog_templates.h"

#include <iterator>

namespace tornix {

namespace {

constexpr unsigned kChinesePrc = 0x0804;
constexpr int kDefaultCharset = 1;
constexpr const char* kSongTi = "\xCB\xCE\xCC\xE5";  // 宋体

constexpr std::uint32_t kEditStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL;
constexpr std::uint32_t kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_FLAT;
constexpr std::uint32_t kLabelStyle = WS_CHILD | WS_VISIBLE | WS_GROUP;

constexpr ControlTemplate kConverterControls[] = {
    {IDC_INPUT, ControlKind::kEdit, "", 7, 23, 435, 126, kEditStyle | ES_WANTRETURN, WS_EX_STATICEDGE, 0},
    // 读取...
    {IDC_LOAD, ControlKind::kPushButton, "\xB6\xC1\xC8\xA1...", 392, 7, 50, 14, kButtonStyle, 0, 0},
    // 全角 -〉 半角
    {IDC_TO_HALF, ControlKind::kPushButton, "\xC8\xAB\xBD\xC7 -\xA1\xB5 \xB0\xEB\xBD\xC7", 107, 161, 78, 19,
     kButtonStyle, 0, 0},
    // 半角 -〉 全角
    {IDC_TO_FULL, ControlKind::kPushButton, "\xB0\xEB\xBD\xC7 -\xA1\xB5 \xC8\xAB\xBD\xC7", 222, 161, 78, 19,
     kButtonStyle, 0, 0},
    // 另存为...
    {IDC_SAVE_AS, ControlKind::kPushButton, "\xC1\xED\xB4\xE6\xCE\xAA...", 392, 190, 50, 14, kButtonStyle, 0, 0},
    {IDC_OUTPUT, ControlKind::kEdit, "", 7, 206, 435, 126, kEditStyle | ES_READONLY, WS_EX_STATICEDGE, 0},
    // 要转换的文本：
    {kNoControlId, ControlKind::kLabel, "\xD2\xAA\xD7\xAA\xBB\xBB\xB5\xC4\xCE\xC4\xB1\xBE\xA3\xBA", 7, 10, 154, 8,
     kLabelStyle, 0, 0},
    // 输出结果：
    {kNoControlId, ControlKind::kLabel, "\xCA\xE4\xB3\xF6\xBD\xE1\xB9\xFB\xA3\xBA", 7, 193, 154, 8, kLabelStyle, 0, 0},
    // 读写 GBK、UTF-8、UTF-16 文本: what the program reads and writes
    {kNoControlId, ControlKind::kLabel, "\xB6\xC1\xD0\xB4 GBK\xA1\xA2UTF-8\xA1\xA2UTF-16 \xCE\xC4\xB1\xBE", 323, 173,
     119, 8, kLabelStyle, 0, 0},
    // Tornix 全角/半角转换: the program's name and what it does
    {kNoControlId, ControlKind::kLabel, "Tornix \xC8\xAB\xBD\xC7/\xB0\xEB\xBD\xC7\xD7\xAA\xBB\xBB", 323, 163, 104, 8,
     kLabelStyle, 0, 0},
};

constexpr ControlTemplate kAboutControls[] = {
    {kNoControlId, ControlKind::kIcon, "", 11, 17, 20, 20, WS_CHILD | WS_VISIBLE | SS_ICON, 0, IDI_MAIN},
    {kNoControlId, ControlKind::kLabel, "Qelvar Ver.1.0713", 40, 10, 119, 8, kLabelStyle | SS_NOPREFIX, 0, 0},
    // 全角/半角文本转换工具
    {kNoControlId, ControlKind::kLabel,
     "\xC8\xAB\xBD\xC7/\xB0\xEB\xBD\xC7\xCE\xC4\xB1\xBE\xD7\xAA\xBB\xBB\xB9\xA4\xBE\xDF", 40, 25, 119, 8, kLabelStyle,
     0, 0},
    // 确定
    {IDOK, ControlKind::kPushButton, "\xC8\xB7\xB6\xA8", 178, 7, 50, 14,
     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0},
};

constexpr DialogTemplate kTemplates[] = {
    // The converter window's caption is the converter's own name and version,
    // «Qelvar Ver. 1.0713» with a space after the point (the About box's first
    // line writes it without): the title that users and their scripts find
    // the window by, whatever the program's files are called.
    {IDD_CONVERTER, true, "Qelvar Ver. 1.0713", 0, 0, 449, 342,
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT, WS_EX_APPWINDOW,
     kSongTi, 9, 0, false, kDefaultCharset, kConverterControls, std::size(kConverterControls), kChinesePrc},
    // 关于
    {IDD_ABOUT, false, "\xB9\xD8\xD3\xDA", 0, 0, 235, 55,
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, kSongTi, 9, 0, false, kDefaultCharset,
     kAboutControls, std::size(kAboutControls), kChinesePrc},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(unsigned id) {
    for (const DialogTemplate& dialog : kTemplates) {
        if (dialog.id == id) return &dialog;
    }
    return nullptr;
}

}  // namespace tornix
