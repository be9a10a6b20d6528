#include "ui/framework/win32/file_chooser.h"

#include <vector>

#include "ui/framework/win32/item_chooser.h"
#include "ui/framework/win32/wide_text.h"

namespace tornix::win32 {
namespace {

// Room for a long path (the system's own limit for \\?\ paths).
constexpr DWORD kPathRoom = 32768;

}  // namespace

std::wstring ChooserFilter(const GbkString& filter) {
    // Split after decoding: '|' (0x7C) can be the second byte of a GBK character.
    std::wstring text = ToWide(filter.view());
    for (wchar_t& unit : text) {
        if (unit == L'|') unit = L'\0';
    }
    text.push_back(L'\0');
    text.push_back(L'\0');  // two NULs end the list, also when the text lacks its "||"
    return text;
}

std::wstring ChooserDefaultExtension(const GbkString& defaultExtension) {
    std::wstring text = ToWide(defaultExtension.view());
    if (text.size() > 3) text.resize(3);
    return text;
}

std::optional<FileChooserAnswer> ChooseFile(HWND owner, const FileChooserRequest& request) {
    // A choice needs the newer chooser; where it cannot be made, the older
    // one asks for the file and the choice stays as the request has it.
    if (!request.choice.items.empty()) {
        FileChooserAnswer answer;
        switch (ChooseFileWithChoice(owner, request, answer)) {
            case ItemChooserResult::kChosen:
                return answer;
            case ItemChooserResult::kCancelled:
                return std::nullopt;
            case ItemChooserResult::kUnavailable:
                break;
        }
    }
    const std::wstring filter = ChooserFilter(request.filter);
    const std::wstring extension = ChooserDefaultExtension(request.defaultExtension);
    std::vector<wchar_t> file(kPathRoom, L'\0');
    const std::wstring initial = ToWide(request.initialName.view());
    initial.copy(file.data(), std::min<std::size_t>(initial.size(), kPathRoom - 1));

    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = filter.c_str();
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = file.data();
    chooser.nMaxFile = kPathRoom;
    chooser.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    chooser.Flags = request.flags | OFN_EXPLORER;
    const BOOL confirmed = request.save ? ::GetSaveFileNameW(&chooser) : ::GetOpenFileNameW(&chooser);
    if (!confirmed) return std::nullopt;
    return FileChooserAnswer{std::filesystem::path(file.data()), request.choice.selected};
}

}  // namespace tornix::win32
