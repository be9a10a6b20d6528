#include "fake/fake_backend.h"

#include <algorithm>
#include <new>

#include "ui/framework/backend.h"

namespace tornix {

namespace fake {

namespace {

const char kIconPixels[] = "fake icon";

class FakePaint : public PaintContext {
public:
    explicit FakePaint(FakeWindow& window) : m_window(window) {}
    std::intptr_t Handle() const override { return 0x1234; }
    void DrawIcon(int x, int y, IconHandle) override { m_window.iconsDrawn.emplace_back(x, y); }

private:
    FakeWindow& m_window;
};

std::uintptr_t CommandParam(unsigned id, unsigned code) {
    return (static_cast<std::uintptr_t>(code) << 16) | id;
}

}  // namespace

IconHandle FakeIcon() {
    return kIconPixels;
}

ModalLog& Modals() {
    static ModalLog log;
    return log;
}

FakeWindow::FakeWindow(CDialog& dialog, bool withSystemMenu) : hasSystemMenu(withSystemMenu), m_dialog(dialog) {
    m_dialog.AttachHost(this);
    acceptsDroppedFiles = m_dialog.AcceptsDroppedFiles();
    m_dialog.OnInitDialog();
    transfers.clear();  // the initial transfer is not part of what tests look at
}

FakeWindow::~FakeWindow() {
    m_dialog.AttachHost(nullptr);
}

void FakeWindow::Click(unsigned id) {
    m_dialog.OnWndMsg(WM_COMMAND, CommandParam(id, BN_CLICKED), 0, nullptr);
}

void FakeWindow::SysCommand(unsigned id) {
    m_dialog.OnWndMsg(WM_SYSCOMMAND, id, 0, nullptr);
}

void FakeWindow::Help() {
    m_dialog.OnWndMsg(WM_COMMAND, CommandParam(ID_HELP, 0), 0, nullptr);
}

void FakeWindow::DropFiles(const DroppedFiles& files) {
    m_dialog.OnWndMsg(WM_DROPFILES, reinterpret_cast<std::uintptr_t>(&files), 0, nullptr);
}

bool FakeWindow::Paint() {
    const int before = defaultCalls;
    const bool handled = m_dialog.OnWndMsg(WM_PAINT, 0, 0, nullptr);
    return handled && defaultCalls == before;
}

std::intptr_t FakeWindow::QueryDragIcon() {
    std::intptr_t result = 0;
    m_dialog.OnWndMsg(WM_QUERYDRAGICON, 0, 0, &result);
    return result;
}

std::string FakeWindow::Text(unsigned id) const {
    auto found = m_texts.find(id);
    return found == m_texts.end() ? std::string() : found->second;
}

GbkString FakeWindow::GetItemText(unsigned id) const {
    transfers.push_back("get " + std::to_string(id));
    if (failNextRead) {
        failNextRead = false;
        throw std::bad_alloc();
    }
    return GbkString(std::string_view(Text(id)));
}

void FakeWindow::SetItemText(unsigned id, const GbkString& text) {
    transfers.push_back("set " + std::to_string(id));
    m_texts[id] = std::string(text.view());
}

int FakeWindow::ShowMessageBox(const GbkString& text, const GbkString* caption, unsigned type) {
    messageBoxes.push_back({std::string(text.view()),
                            caption ? std::optional<std::string>(std::string(caption->view())) : std::nullopt, type});
    return IDOK;
}

std::optional<FileChooserAnswer> FakeWindow::ShowFileChooser(const FileChooserRequest& request) {
    choosers.push_back(request);
    if (chooserAnswers.empty()) return std::nullopt;
    const std::optional<std::filesystem::path> path = chooserAnswers.front();
    chooserAnswers.pop_front();
    if (!path) return std::nullopt;
    FileChooserAnswer answer{*path, request.choice.selected};
    if (!choicePicks.empty()) {
        const std::string pick = choicePicks.front();
        choicePicks.pop_front();
        const auto& items = request.choice.items;
        const auto found =
            std::find_if(items.begin(), items.end(), [&](const GbkString& item) { return item.view() == pick; });
        if (found == items.end()) return std::nullopt;
        answer.choice = static_cast<int>(found - items.begin());
    }
    return answer;
}

std::unique_ptr<PaintContext> FakeWindow::BeginPaint() {
    return std::make_unique<FakePaint>(*this);
}

std::intptr_t FakeWindow::SendMessage(unsigned message, std::intptr_t, std::intptr_t) {
    sentMessages.push_back(message);
    return 0;
}

void FakeWindow::PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    m_posted.push_back({message, wParam, lParam});
}

void FakeWindow::RunPosted() {
    while (!m_posted.empty()) {
        const Posted posted = m_posted.front();
        m_posted.pop_front();
        m_dialog.OnWndMsg(posted.message, static_cast<std::uintptr_t>(posted.wParam), posted.lParam, nullptr);
    }
}

}  // namespace fake

int RunDialogModal(CDialog& dialog, unsigned templateId, CDialog*) {
    fake::Modals().templates.push_back(templateId);
    fake::FakeWindow window(dialog);
    window.RunPosted();
    return fake::Modals().nextResult;
}

IconHandle LoadIconResource(unsigned) {
    return fake::FakeIcon();
}

int GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? fake::kIconSize : 0;
}

GbkString ApplicationName() {
    return "tornix";
}

}  // namespace tornix
