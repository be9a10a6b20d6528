// The Win32 back end's free functions: running a dialog, the program's icon,
// system metrics and the application's name.
#include "ui/framework/win32/win32_api.h"

#include <string>

#include "res/dialog_templates.h"
#include "ui/framework/backend.h"
#include "ui/framework/win32/dialog_template_builder.h"
#include "ui/framework/win32/dialog_window.h"
#include "ui/framework/win32/wide_text.h"

namespace tornix {

int RunDialogModal(CDialog& dialog, unsigned templateId, CDialog* owner) {
    const DialogTemplate* layout = FindDialogTemplate(templateId);
    if (layout == nullptr) return -1;
    const win32::TemplateWords words = win32::BuildDialogTemplate(*layout);
    HWND ownerWindow = nullptr;
    if (owner != nullptr) {
        if (const auto* host = dynamic_cast<const win32::DialogWindow*>(owner->Host())) ownerWindow = host->Hwnd();
    }
    // A template at 0, 0 has no position of its own: the window is centred.
    const bool centre = layout->x == 0 && layout->y == 0;
    return win32::DialogWindow::RunModal(dialog, reinterpret_cast<const DLGTEMPLATE*>(words.data()), centre,
                                         ownerWindow);
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
