// The whole road of a file that is loaded and saved as it came: the encoding
// rule, decoding, the line layout and encoding back with the mark, against
// models written from their definitions (text/encoding.h, files/text_file.h).
// Saving gives the file's bytes with a CR put before every LF character
// without one and a CR LF after a last line without LF, in the file's own
// code units, and the saved file loads as the same text; a file with a NUL
// character is refused.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "files/text_file.h"

namespace {

using namespace tornix;

void Check(bool ok) {
    if (!ok) std::abort();
}

// Whether a character that begins with the `count` bytes at `bytes` is
// strictly valid UTF-8, or could still become so when the bytes are cut
// short: whole, or completed with the least or the greatest continuation
// bytes.
bool Utf8Character(const unsigned char* bytes, std::size_t count, std::size_t length) {
    for (const unsigned char fill : {0x80, 0xBF}) {
        char32_t value = bytes[0] & (0x7F >> length);
        bool continued = true;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = k < count ? bytes[k] : fill;
            continued = continued && (next & 0xC0) == 0x80;
            value = value << 6 | (next & 0x3F);
        }
        const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (continued && value >= least && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF)) return true;
        if (count == length) return false;
    }
    return false;
}

FileEncoding ExpectedEncoding(std::string_view file) {
    const std::pair<std::string_view, Charset> marks[] = {{"\xEF\xBB\xBF", Charset::kUtf8},
                                                          {"\xFF\xFE", Charset::kUtf16Le},
                                                          {"\xFE\xFF", Charset::kUtf16Be},
                                                          {"\x84\x31\x95\x33", Charset::kGb18030}};
    for (const auto& [mark, charset] : marks) {
        if (file.substr(0, mark.size()) == mark) return {charset, true};
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    bool nonAscii = false;
    for (std::size_t at = 0; at < file.size();) {
        const unsigned char lead = bytes[at];
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 1) {
            ++at;
            continue;
        }
        const std::size_t count = std::min(length, file.size() - at);
        if (length == 0 || !Utf8Character(bytes + at, count, length)) return {};
        nonAscii = nonAscii || count == length;  // a character cut by the end counts for nothing
        at += count;
    }
    return {nonAscii ? Charset::kUtf8 : Charset::kGbk, false};
}

// UTF-16, whose code units are two bytes.
bool IsWide(Charset charset) {
    return charset == Charset::kUtf16Le || charset == Charset::kUtf16Be;
}

std::optional<std::string> SavedAsLoaded(std::string_view file, FileEncoding encoding) {
    const bool wide = IsWide(encoding.charset);
    const std::size_t width = wide ? 2 : 1;
    auto unit = [&](char ascii) {
        if (!wide) return std::string(1, ascii);
        return encoding.charset == Charset::kUtf16Le ? std::string{ascii, '\0'} : std::string{'\0', ascii};
    };
    const std::string nul = unit('\0'), cr = unit('\r'), lf = unit('\n');
    const std::size_t markSize = encoding.byteOrderMark ? ByteOrderMark(encoding.charset).size() : 0;
    std::string saved(file.substr(0, markSize));
    const std::string_view body = file.substr(markSize);
    std::string_view previous;
    std::size_t at = 0;
    for (; at + width <= body.size(); at += width) {
        const std::string_view each = body.substr(at, width);
        if (each == nul) return std::nullopt;
        if (each == lf && previous != cr) saved += cr;
        saved += each;
        previous = each;
    }
    saved += body.substr(at);  // the odd last byte of UTF-16
    if (!body.empty() && (at != body.size() || previous != lf)) saved += cr + lf;
    return saved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const ReadResult loaded = DecodeTextFile(file);
    const FileEncoding encoding = ExpectedEncoding(file);
    const std::optional<std::string> expected = SavedAsLoaded(file, encoding);
    if (!expected) {
        Check(loaded.status == ReadStatus::kContainsNul);
        return 0;
    }
    Check(loaded.ok() && loaded.encoding == encoding);
    std::string saved;
    Check(EncodeTextFile(loaded.text, loaded.encoding, [&saved](std::string_view bytes) {
        saved.append(bytes);
        return true;
    }));
    Check(saved == *expected);
    // Loaded again, the saved file is the same text, but where the file ends
    // in a character cut short: the break that follows the last line then
    // follows the cut bytes, out of step with UTF-16's units, or making UTF-8
    // without a mark invalid, and so code page 936.
    const bool cut = IsWide(encoding.charset)
                         ? size % 2 != 0  // the mark is two bytes
                         : encoding == FileEncoding{Charset::kUtf8, false} && ExpectedEncoding(saved) != encoding;
    const ReadResult again = DecodeTextFile(saved);
    Check(cut || (again.ok() && again.encoding == loaded.encoding && again.text == loaded.text));
    return 0;
}
