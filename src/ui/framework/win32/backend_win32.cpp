// The Win32 back end's free functions: running a dialog, the program's icon,
// system metrics and the application's name.
#include "ui/framework/win32/win32_api.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "ui/framework/backend.h"
#include "ui/framework/win32/dialog_window.h"
#include "ui/framework/win32/wide_text.h"

namespace tornix {
namespace {

// The dialog template resource `id` of the program's module, or nullptr.
const std::uint16_t* DialogResource(unsigned id) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (found == nullptr) return nullptr;
    return static_cast<const std::uint16_t*>(::LockResource(::LoadResource(module, found)));
}

// A template at 0, 0 has no position of its own. The position follows the
// styles and the control count: words 9 and 10 of an extended template
// (which starts 1, 0xFFFF), words 5 and 6 of a standard one.
bool HasPosition(const std::uint16_t* words) {
    const std::size_t at = words[0] == 1 && words[1] == 0xFFFF ? 9 : 5;
    return words[at] != 0 || words[at + 1] != 0;
}

// The controls in their current look (Common Controls 6, which the manifest
// asks for), registered once before the first dialog.
void InitControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)done;
}

}  // namespace

int RunDialogModal(CDialog& dialog, unsigned templateId, CDialog* owner) {
    const std::uint16_t* resource = DialogResource(templateId);
    if (resource == nullptr) return -1;
    InitControls();
    HWND ownerWindow = nullptr;
    if (owner != nullptr) {
        if (const auto* host = dynamic_cast<const win32::DialogWindow*>(owner->Host())) ownerWindow = host->Hwnd();
    }
    return win32::DialogWindow::RunModal(dialog, templateId, !HasPosition(resource), ownerWindow);
}

IconHandle LoadIconResource(unsigned id) {
    return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
}

int GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

GbkString ApplicationName() {
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length == 0) return GbkString();
        if (length < module.size()) {
            module.resize(length);
            break;
        }
        module.resize(module.size() * 2);  // the path was cut off
    }
    return win32::FromWide(std::filesystem::path(module).stem().wstring());
}

}  // namespace tornix
