#include "cli/messages.h"

namespace tornix {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void PutEscaped(unsigned char byte, std::string& out) {
    out += "\\x";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

// The length of the valid UTF-8 character at the start of `rest`, 0 if none.
std::size_t Utf8Length(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || length > rest.size()) return 0;
    const Utf8Scan scan = ScanUtf8(rest.substr(0, length), true);
    return scan.valid && scan.validLength == length ? length : 0;
}

}  // namespace

int WriteTo(fs_os::NativeHandle stream, std::string_view bytes) {
    return fs_os::WriteAll(fs_os::FileHandle::Borrow(stream), bytes.data(), bytes.size());
}

std::filesystem::path PathOf(std::string_view name) {
    return fs_os::PathFromUtf8(name);
}

std::string Quoted(std::string_view name, Charset terminal) {
    std::string out = "'";
    for (std::size_t at = 0; at < name.size();) {
        const auto byte = static_cast<unsigned char>(name[at]);
        const bool control = byte < 0x20 || byte == 0x7F;
        const std::size_t length = control                                     ? 0
                                   : byte < 0x80 || terminal != Charset::kUtf8 ? 1
                                                                               : Utf8Length(name.substr(at));
        if (length == 0) {
            PutEscaped(byte, out);
            ++at;
        } else {
            out.append(name.substr(at, length));
            at += length;
        }
    }
    return out + "'";
}

std::string InputName(std::string_view name, Charset terminal) {
    return name == kStandardInput ? "standard input" : Quoted(name, terminal);
}

std::string Reason(int error) {
    return error != 0 ? fs_os::ErrorText(error) : "Input/output error";
}

std::string Message(std::string_view what, std::string_view reason) {
    return "tornix-convert: " + std::string(what) + ": " + std::string(reason) + "\n";
}

std::string SaveFailure(const SafeFileWriter& writer) {
    const std::string where = Quoted(fs_os::Utf8FromPath(writer.ProblemPath()));
    std::string reason = Reason(writer.LastError());
    switch (writer.Problem()) {
        case SaveProblem::kUnsafeLink:
            return "it is a symbolic link that another user made in a shared folder; such a link is not followed";
        case SaveProblem::kBackupExists:
            return "an earlier save of it was cut off, and its old content is kept in " + where +
                   "; put that back or remove it, then save again";
        case SaveProblem::kBackupKept:
            return reason + "; its old content is kept in " + where;
        case SaveProblem::kBusy:
            return "another program is writing it";
        case SaveProblem::kTemporaryFolder:
            return "the folder for temporary files " + where + " (TMPDIR): " + reason;
        case SaveProblem::kNone:
            break;
    }
    return reason;
}

}  // namespace tornix
