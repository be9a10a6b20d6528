#include "ui/framework/win32/item_chooser.h"

#include <shobjidl.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "ui/framework/win32/file_chooser.h"
#include "ui/framework/win32/wide_text.h"

namespace tornix::win32 {
namespace {

// The ids of the controls added to the chooser.
constexpr DWORD kChoiceGroup = 1;  // the label, and the list in it
constexpr DWORD kChoiceList = 2;   // its items' ids are their indexes

// A COM interface pointer, released when it goes.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_pointer != nullptr) m_pointer->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface** Put() { return &m_pointer; }
    Interface* operator->() const { return m_pointer; }
    Interface& operator*() const { return *m_pointer; }

private:
    Interface* m_pointer = nullptr;
};

// Follows the item chosen in the list: each pick, and the list as it stands
// when the user confirms a file. It lives on the stack of the call that shows
// the chooser, which lets go of it before it goes.
class ChoiceEvents final : public IFileDialogEvents, public IFileDialogControlEvents {
public:
    explicit ChoiceEvents(int chosen) : m_chosen(chosen) {}
    int Chosen() const { return m_chosen; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IFileDialogEvents) {
            *object = static_cast<IFileDialogEvents*>(this);
        } else if (id == IID_IFileDialogControlEvents) {
            *object = static_cast<IFileDialogControlEvents*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }

    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog* dialog) override {
        ComPtr<IFileDialogCustomize> customize;
        DWORD item = 0;
        if (SUCCEEDED(dialog->QueryInterface(IID_IFileDialogCustomize, reinterpret_cast<void**>(customize.Put()))) &&
            SUCCEEDED(customize->GetSelectedControlItem(kChoiceList, &item))) {
            m_chosen = static_cast<int>(item);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnItemSelected(IFileDialogCustomize*, DWORD control, DWORD item) override {
        if (control == kChoiceList) m_chosen = static_cast<int>(item);
        return S_OK;
    }
    // The rest as the chooser does them without a listener.
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*, FDE_SHAREVIOLATION_RESPONSE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnButtonClicked(IFileDialogCustomize*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnCheckButtonToggled(IFileDialogCustomize*, DWORD, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnControlActivating(IFileDialogCustomize*, DWORD) override { return E_NOTIMPL; }

private:
    ULONG m_references = 1;
    int m_chosen;
};

// The file types, the extension for a name typed without one, the overwrite
// question, whether the file must exist and the initial name, as
// GetOpenFileNameW and GetSaveFileNameW take them.
void SetUpFile(IFileDialog& dialog, const FileChooserRequest& request, const std::wstring& filter,
               const std::wstring& extension) {
    // `filter` is name NUL patterns NUL ... NUL NUL.
    std::vector<COMDLG_FILTERSPEC> types;
    for (const wchar_t* at = filter.c_str(); *at != L'\0';) {
        const wchar_t* name = at;
        at += std::wcslen(at) + 1;
        if (*at == L'\0') break;  // a name without patterns
        types.push_back({name, at});
        at += std::wcslen(at) + 1;
    }
    if (!types.empty()) {
        dialog.SetFileTypes(static_cast<UINT>(types.size()), types.data());
        dialog.SetFileTypeIndex(1);
    }
    if (!extension.empty()) dialog.SetDefaultExtension(extension.c_str());
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM;
    options =
        (request.flags & OFN_OVERWRITEPROMPT) != 0 ? options | FOS_OVERWRITEPROMPT : options & ~FOS_OVERWRITEPROMPT;
    if ((request.flags & OFN_PATHMUSTEXIST) != 0) options |= FOS_PATHMUSTEXIST;
    // The open chooser's own default; a name that does not exist is the caller's to report.
    options = (request.flags & OFN_FILEMUSTEXIST) != 0 ? options | FOS_FILEMUSTEXIST : options & ~FOS_FILEMUSTEXIST;
    dialog.SetOptions(options);
    if (!request.initialName.IsEmpty()) dialog.SetFileName(ToWide(request.initialName.view()).c_str());
}

// The request's choice: its label as a group around the list, made prominent
// so that Windows puts it beside the Open or Save and Cancel buttons, where
// Notepad has its encodings.
void AddChoice(IFileDialogCustomize& customize, const FileChooserChoice& choice, int selected) {
    customize.StartVisualGroup(kChoiceGroup, ToWide(choice.label.view()).c_str());
    customize.AddComboBox(kChoiceList);
    for (std::size_t item = 0; item < choice.items.size(); ++item) {
        customize.AddControlItem(kChoiceList, static_cast<DWORD>(item), ToWide(choice.items[item].view()).c_str());
    }
    customize.EndVisualGroup();
    customize.SetSelectedControlItem(kChoiceList, static_cast<DWORD>(selected));
    customize.MakeProminent(kChoiceGroup);
}

ItemChooserResult Show(HWND owner, const FileChooserRequest& request, FileChooserAnswer& answer) {
    ComPtr<IFileDialog> dialog;
    ComPtr<IFileDialogCustomize> customize;
    const CLSID& kind = request.save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog;
    if (FAILED(::CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                                  reinterpret_cast<void**>(dialog.Put()))) ||
        FAILED(dialog->QueryInterface(IID_IFileDialogCustomize, reinterpret_cast<void**>(customize.Put())))) {
        return ItemChooserResult::kUnavailable;
    }
    // Kept until the chooser closes: it holds pointers into them.
    const std::wstring filter = ChooserFilter(request.filter);
    const std::wstring extension = ChooserDefaultExtension(request.defaultExtension);
    SetUpFile(*dialog, request, filter, extension);
    const int last = static_cast<int>(request.choice.items.size()) - 1;
    const int selected = std::clamp(request.choice.selected, 0, std::max(last, 0));
    if (last >= 0) AddChoice(*customize, request.choice, selected);

    ChoiceEvents events(selected);
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(dialog->Advise(&events, &cookie));
    const HRESULT shown = dialog->Show(owner);
    if (advised) dialog->Unadvise(cookie);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return ItemChooserResult::kCancelled;
    if (FAILED(shown)) return ItemChooserResult::kUnavailable;

    ComPtr<IShellItem> file;
    PWSTR path = nullptr;
    if (FAILED(dialog->GetResult(file.Put())) || FAILED(file->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return ItemChooserResult::kCancelled;
    }
    answer.path = std::filesystem::path(path);
    ::CoTaskMemFree(path);
    answer.choice = events.Chosen();
    return ItemChooserResult::kChosen;
}

}  // namespace

ItemChooserResult ChooseFileWithChoice(HWND owner, const FileChooserRequest& request, FileChooserAnswer& answer) {
    // The chooser is a COM object of this thread's apartment.
    const HRESULT apartment = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(apartment)) return ItemChooserResult::kUnavailable;
    const ItemChooserResult result = Show(owner, request, answer);
    ::CoUninitialize();
    return result;
}

}  // namespace tornix::win32
