// CConverterDlg: the program's main window. It owns the two texts the user
// works on, binds them to the input and output boxes, and carries out the
// conversion, file and window commands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "res/resource.h"
#include "text/encoding.h"
#include "text/gbk_string.h"
#include "ui/framework/dialog.h"

namespace tornix {

// The file types both choosers offer, the first selected:
// 文本文件(*.txt;*.html;*.htm)|*.txt;*.html;*.htm|所有文件(*.*)|*.*||
inline constexpr const char* kFileFilter =
    "\xCE\xC4\xB1\xBE\xCE\xC4\xBC\xFE(*.txt;*.html;*.htm)|*.txt;*.html;*.htm|"
    "\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE(*.*)|*.*||";

// The choosers' default extension; only its first three characters, TXT, are
// given to a name typed without one.
inline constexpr const char* kDefaultExtension = "TXT Files (*.txt;*.html;*.htm)";

class CConverterDlg : public CDialog {
public:
    explicit CConverterDlg(CDialog* parent = nullptr);

    GbkString m_strOutput;  // the conversion result, bound to IDC_OUTPUT
    GbkString m_strInput;   // the text to convert, bound to IDC_INPUT
    IconHandle m_hIcon;     // IDI_MAIN
    // The encoding of the file last loaded, as detected or picked (code page
    // 936 before any): what Save As writes unless the user picks another in
    // its chooser.
    FileEncoding m_fileEncoding;
    // A file named on the command line: loaded as 读取... loads a file once
    // the window is shown, so that a refusal appears over it.
    std::optional<std::filesystem::path> m_startFile;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    MessageMap GetMessageMap() const override;

    // Takes both boxes into the fields and trims the input; refuses (with a
    // message) an input that is then empty.
    bool ValidateInput();
    void OnToHalf();
    void OnToFull();
    // Fills the input box from a text file the user picks, in the encoding
    // picked in the chooser's list (自动检测 at first: the rule).
    void OnLoad();
    // Fills the input box from the file at `path`, read in `named` (nothing:
    // the encoding rule decides), and keeps its encoding, or says why it
    // cannot and changes nothing: what every way of loading a file (the
    // chooser, a dropped file) does.
    void LoadFile(const std::filesystem::path& path, std::optional<Charset> named = std::nullopt);
    // Files dropped onto the window: the first is loaded as if chosen with
    // 读取...; the others are left alone.
    void OnDropFiles(const DroppedFiles& files);
    // ID_FILE_OPEN, posted by OnInitDialog: loads m_startFile, once.
    void OnFileOpen();
    // Stores the output box in a file the user picks, in the encoding left
    // chosen in the chooser (at first the loaded file's); a text with a
    // character that encoding lacks is refused, naming it and its line.
    void OnSaveAs();
    void OnSysCommand(unsigned id, std::intptr_t param);
    void OnPaint();
    IconHandle OnQueryDragIcon();
    void OnHelp();

private:
    void ShowAbout();
};

}  // namespace tornix
