// tornix-convert.exe: the width conversion as a Windows console filter. The
// wide command line reaches the program as WTF-8 (files/wtf8.h), which becomes
// wide paths again where a file is opened, so any file name works whatever
// the ANSI code page, even one that is not valid UTF-16. The standard streams are used as raw handles: bytes pass
// through as they are, without CR LF translation. Messages to a console are shown in any console code page.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "cli/convert_command.h"
#include "files/pending_files.h"
#include "files/wtf8.h"

namespace {

// The arguments after the program's name.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const std::wstring_view arg(wide[i]);
        args.push_back(tornix::Wtf8FromUtf16(std::u16string(arg.begin(), arg.end())));
    }
    if (wide != nullptr) ::LocalFree(wide);
    return args;
}

// The help's Chinese as the console shows it: code page 936 bytes in a
// Chinese console (or, with no console, under a Chinese ANSI code page),
// UTF-8 otherwise.
tornix::Charset ConsoleEncoding() {
    UINT codePage = ::GetConsoleOutputCP();
    if (codePage == 0) codePage = ::GetACP();
    switch (codePage) {
        case 936:    // GBK
        case 20936:  // GB2312
        case 54936:  // GB18030
            return tornix::Charset::kGbk;
        default:
            return tornix::Charset::kUtf8;
    }
}

// The program's messages are UTF-8 (they quote file names as given). A
// console shows them through its wide-character interface, whatever its code
// page: they are held in a pipe while the program runs, and shown at the end.
class ConsoleMessages {
public:
    explicit ConsoleMessages(tornix::ProgramStreams& streams) {
        const HANDLE errors = reinterpret_cast<HANDLE>(streams.errors);
        DWORD mode = 0;
        if (streams.errors == tornix::fs_os::kNoHandle || !::GetConsoleMode(errors, &mode)) return;
        // Large enough for every message of one run: a write never waits.
        if (!::CreatePipe(&m_read, &m_write, nullptr, 1 << 16)) return;
        m_console = errors;
        streams.errors = reinterpret_cast<tornix::fs_os::NativeHandle>(m_write);
    }
    ~ConsoleMessages() {
        if (m_console == nullptr) return;
        ::CloseHandle(m_write);
        std::string bytes;
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(m_read, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
        ::CloseHandle(m_read);
        const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        if (length <= 0) return;
        std::wstring text(static_cast<std::size_t>(length), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
        DWORD written = 0;
        ::WriteConsoleW(m_console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    ConsoleMessages(const ConsoleMessages&) = delete;
    ConsoleMessages& operator=(const ConsoleMessages&) = delete;

private:
    HANDLE m_console = nullptr;
    HANDLE m_read = nullptr;
    HANDLE m_write = nullptr;
};

}  // namespace

int main() {
    // Ctrl+C or closing the console leaves no temporary file behind, and waits
    // while a file is rewritten in place.
    tornix::RemovePendingFilesOnTermination();
    tornix::ProgramStreams streams;
    streams.terminal = ConsoleEncoding();
    // An input whose start tells nothing of its encoding (all ASCII) is taken
    // in code page 936 under a Chinese (PRC) ANSI code page, as UTF-8 under
    // any other.
    const UINT ansi = ::GetACP();
    streams.localeText = ansi == 936 || ansi == 20936 || ansi == 54936 ? tornix::Charset::kGbk : tornix::Charset::kUtf8;
    const ConsoleMessages messages(streams);
    return tornix::RunTornixConvert(Arguments(), streams);
}
