// tornix.exe's dialog and string resources read back from the module and
// compared field by field with the template data they are generated from:
// every dialog and control field of RT_DIALOG 100 and 102 (ids, styles,
// positions, texts, classes, font), every string of the RT_STRING block that
// holds 101, their language; and the manifest that the module carries.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "res/dialog_templates.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "ui/framework/win32/wide_text.h"

namespace tornix {
namespace {

const wchar_t kProgram[] = L"" TORNIX_PROGRAM;
constexpr WORD kRtDialog = 5, kRtString = 6, kRtManifest = 24;

// The module of tornix.exe, loaded as data only.
class ProgramModule : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = ::LoadLibraryExW(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << ::GetLastError();
    }
    void TearDown() override {
        if (m_module != nullptr) ::FreeLibrary(m_module);
    }

    // The resource's bytes in the given language; empty when it is missing.
    std::string Resource(WORD type, unsigned id, unsigned language) const {
        const HRSRC found =
            ::FindResourceExW(m_module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), static_cast<WORD>(language));
        if (found == nullptr) return std::string();
        const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(m_module, found)));
        return bytes == nullptr ? std::string() : std::string(bytes, ::SizeofResource(m_module, found));
    }

    HMODULE m_module = nullptr;
};

// Reads a dialog template resource word by word, as the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : m_bytes(bytes) {}

    bool Overrun() const { return m_overrun; }
    std::uint16_t Word() {
        if (m_at + 2 > m_bytes.size()) {
            m_overrun = true;
            return 0;
        }
        const auto low = static_cast<unsigned char>(m_bytes[m_at]);
        const auto high = static_cast<unsigned char>(m_bytes[m_at + 1]);
        m_at += 2;
        return static_cast<std::uint16_t>(low | high << 8);
    }
    std::uint32_t DWord() {
        const std::uint32_t low = Word();
        return low | static_cast<std::uint32_t>(Word()) << 16;
    }
    int Short() { return static_cast<std::int16_t>(Word()); }
    std::wstring Text() {
        std::wstring text;
        while (const std::uint16_t unit = Word()) text += static_cast<wchar_t>(unit);
        return text;
    }
    // A name or an ordinal: "#n" for an ordinal, so that the two never match.
    std::wstring NameOrOrdinal() {
        if (m_at + 2 <= m_bytes.size() && m_bytes[m_at] == '\xFF' && m_bytes[m_at + 1] == '\xFF') {
            Word();
            return L"#" + std::to_wstring(Word());
        }
        return Text();
    }
    void AlignToDWord() { m_at = (m_at + 3) & ~std::size_t{3}; }

private:
    const std::string& m_bytes;
    std::size_t m_at = 0;
    bool m_overrun = false;
};

std::wstring Ordinal(unsigned value) {
    return L"#" + std::to_wstring(value);
}

std::wstring ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::kPushButton:
            return Ordinal(0x80);
        case ControlKind::kEdit:
            return Ordinal(0x81);
        case ControlKind::kLabel:
        case ControlKind::kIcon:
            break;
    }
    return Ordinal(0x82);
}

void ExpectControl(TemplateReader& in, const ControlTemplate& control, bool extended) {
    in.AlignToDWord();
    if (extended) {
        EXPECT_EQ(in.DWord(), 0u) << "helpID";
        EXPECT_EQ(in.DWord(), control.exStyle) << "exStyle";
        EXPECT_EQ(in.DWord(), control.style) << "style";
    } else {
        EXPECT_EQ(in.DWord(), control.style) << "style";
        EXPECT_EQ(in.DWord(), control.exStyle) << "exStyle";
    }
    EXPECT_EQ(in.Short(), control.x);
    EXPECT_EQ(in.Short(), control.y);
    EXPECT_EQ(in.Short(), control.cx);
    EXPECT_EQ(in.Short(), control.cy);
    const int id = extended ? static_cast<int>(in.DWord()) : in.Short();
    EXPECT_EQ(id, control.id) << "id";
    EXPECT_EQ(in.NameOrOrdinal(), ClassOf(control.kind)) << "class";
    const std::wstring text =
        control.kind == ControlKind::kIcon ? Ordinal(control.iconId) : win32::ToWide(control.text);
    EXPECT_EQ(in.NameOrOrdinal(), text) << "text";
    EXPECT_EQ(in.Word(), 0u) << "creation data";
}

class ModuleDialog : public ProgramModule, public ::testing::WithParamInterface<unsigned> {};

TEST_P(ModuleDialog, IsTheTemplateDataFieldByField) {
    const DialogTemplate* dialog = FindDialogTemplate(GetParam());
    ASSERT_NE(dialog, nullptr);
    const std::string bytes = Resource(kRtDialog, dialog->id, dialog->languageId);
    ASSERT_FALSE(bytes.empty()) << "no RT_DIALOG " << dialog->id << " in language " << dialog->languageId;
    TemplateReader in(bytes);
    if (dialog->extended) {
        ASSERT_EQ(in.Word(), 1u) << "dlgVer";
        ASSERT_EQ(in.Word(), 0xFFFFu) << "an extended template";
        EXPECT_EQ(in.DWord(), 0u) << "helpID";
        EXPECT_EQ(in.DWord(), dialog->exStyle) << "exStyle";
        EXPECT_EQ(in.DWord(), dialog->style) << "style";
    } else {
        const std::uint32_t style = in.DWord();
        ASSERT_NE(style >> 16, 0xFFFFu) << "an extended template where the data has a standard one";
        EXPECT_EQ(style, dialog->style) << "style";
        EXPECT_EQ(in.DWord(), dialog->exStyle) << "exStyle";
    }
    ASSERT_EQ(in.Word(), dialog->controlCount);
    EXPECT_EQ(in.Short(), dialog->x);
    EXPECT_EQ(in.Short(), dialog->y);
    EXPECT_EQ(in.Short(), dialog->cx);
    EXPECT_EQ(in.Short(), dialog->cy);
    EXPECT_EQ(in.NameOrOrdinal(), L"") << "menu";
    EXPECT_EQ(in.NameOrOrdinal(), L"") << "window class";
    EXPECT_EQ(in.Text(), win32::ToWide(dialog->caption)) << "caption";
    ASSERT_NE(dialog->style & DS_SETFONT, 0u);
    EXPECT_EQ(in.Word(), dialog->fontPointSize);
    if (dialog->extended) {
        EXPECT_EQ(in.Word(), dialog->fontWeight);
        const std::uint16_t italicAndCharset = in.Word();
        EXPECT_EQ(italicAndCharset & 0xFF, dialog->fontItalic ? 1 : 0);
        EXPECT_EQ(italicAndCharset >> 8, dialog->fontCharset);
    }
    EXPECT_EQ(in.Text(), win32::ToWide(dialog->fontName)) << "typeface";
    for (std::size_t i = 0; i < dialog->controlCount; ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        ExpectControl(in, dialog->controls[i], dialog->extended);
    }
    EXPECT_FALSE(in.Overrun()) << "the resource ends early";
}

INSTANTIATE_TEST_SUITE_P(Win32, ModuleDialog, ::testing::Values(IDD_CONVERTER, IDD_ABOUT),
                         [](const auto& info) { return info.param == IDD_CONVERTER ? "Converter" : "About"; });

// Strings live in blocks of sixteen: string n is entry n % 16 of block
// n / 16 + 1, each entry a length and that many UTF-16 units.
TEST_F(ProgramModule, StringTableHoldsExactlyTheData) {
    const unsigned language = FindDialogTemplate(IDD_CONVERTER)->languageId;
    std::vector<unsigned> blocks;
    for (const ResourceString* entry = StringTableBegin(); entry != StringTableEnd(); ++entry) {
        if (blocks.empty() || blocks.back() != entry->id / 16 + 1) blocks.push_back(entry->id / 16 + 1);
    }
    ASSERT_EQ(blocks, std::vector<unsigned>{IDS_ABOUT_MENU / 16 + 1});
    for (const unsigned block : blocks) {
        const std::string bytes = Resource(kRtString, block, language);
        ASSERT_FALSE(bytes.empty()) << "no RT_STRING block " << block;
        TemplateReader in(bytes);
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
            std::wstring expected;
            for (const ResourceString* entry = StringTableBegin(); entry != StringTableEnd(); ++entry) {
                if (entry->id == id) expected = win32::ToWide(entry->text);
            }
            std::wstring text(in.Word(), L'\0');
            for (wchar_t& unit : text) unit = static_cast<wchar_t>(in.Word());
            EXPECT_EQ(text, expected) << "string " << id;
        }
        EXPECT_FALSE(in.Overrun());
    }
}

TEST_F(ProgramModule, ManifestAsksForTheCurrentControlsDpiAwarenessAndNoElevation) {
    const std::string manifest = Resource(kRtManifest, 1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_FALSE(manifest.empty()) << "no manifest (RT_MANIFEST 1)";
    for (const char* part : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             ">PerMonitorV2, System</dpiAwareness>", ">true</dpiAware>",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
         }) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

}  // namespace
}  // namespace tornix
