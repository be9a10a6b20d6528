#include "files/line_splitter.h"

#include <cstdint>
#include <cstring>

namespace tornix {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

struct BreakCount {
    std::size_t lf = 0;
    std::size_t crlf = 0;
};

// Counts the LFs of the bytes and how many of them already have a CR right
// before them, in one flat loop that the compiler can vectorise.
BreakCount CountBreaks(const unsigned char* data, std::size_t size) {
    BreakCount count;
    if (size == 0) return count;
    count.lf = data[0] == kLf;
    std::size_t lf = 0;
    std::size_t crlf = 0;
    for (std::size_t i = 1; i < size; ++i) {
        const bool isLf = data[i] == kLf;
        lf += isLf;
        crlf += isLf & (data[i - 1] == kCr);
    }
    count.lf += lf;
    count.crlf = crlf;
    return count;
}

// Offset of the last LF in data[0, end), or npos.
std::size_t LastLineFeed(const char* data, std::size_t end) {
    // Word at a time from the back: a word holds an LF exactly when one of
    // its bytes XOR 0x0A is zero.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    constexpr std::uint64_t kLfs = kOnes * static_cast<unsigned char>(kLf);
    while (end >= sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, data + end - sizeof word, sizeof word);
        word ^= kLfs;
        if (((word - kOnes) & ~word & kHighs) != 0) break;
        end -= sizeof word;
    }
    while (end > 0) {
        --end;
        if (data[end] == kLf) return end;
    }
    return std::string_view::npos;
}

}  // namespace

LineScan ScanLines(std::string_view bytes) {
    LineScan scan;
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) {
        scan.hasNul = true;
        scan.firstNul = nul;
        return scan;
    }
    const BreakCount breaks =
        CountBreaks(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    scan.textLength = bytes.size() + (breaks.lf - breaks.crlf);
    if (!bytes.empty() && bytes.back() != kLf) scan.textLength += 2;  // the last line's break
    return scan;
}

char* SplitLinesInto(std::string_view bytes, char* out) {
    const char* in = bytes.data();
    const char* const end = in + bytes.size();
    while (in != end) {
        const void* found = std::memchr(in, kLf, static_cast<std::size_t>(end - in));
        const char* lf = found != nullptr ? static_cast<const char*>(found) : end;
        std::size_t lineLength = static_cast<std::size_t>(lf - in);
        if (lf != end && lineLength > 0 && lf[-1] == kCr) --lineLength;  // CR of the break
        std::memcpy(out, in, lineLength);
        out += lineLength;
        *out++ = kCr;
        *out++ = kLf;
        in = lf == end ? end : lf + 1;
    }
    return out;
}

std::optional<std::string> SplitLines(std::string_view bytes) {
    const LineScan scan = ScanLines(bytes);
    if (scan.hasNul) return std::nullopt;
    std::string text(scan.textLength, '\0');
    SplitLinesInto(bytes, text.data());
    return text;
}

bool SplitLinesInPlace(std::string& bytes) {
    const LineScan scan = ScanLines(bytes);
    if (scan.hasNul) return false;
    std::size_t read = bytes.size();
    std::size_t write = scan.textLength;
    if (write == read) return true;  // every break is CR LF already
    bytes.resize(write);
    char* const data = bytes.data();
    if (data[read - 1] != kLf) {
        data[--write] = kLf;
        data[--write] = kCr;
    }
    // From the back: move each line to its final place and give its LF a CR
    // where it lacks one, until the remaining front is where it belongs.
    while (write != read) {
        const std::size_t lf = LastLineFeed(data, read);  // exists while write > read
        const std::size_t tail = read - (lf + 1);
        write -= tail;
        std::memmove(data + write, data + lf + 1, tail);
        data[--write] = kLf;
        read = lf;
        if (read == 0 || data[read - 1] != kCr) data[--write] = kCr;
    }
    return true;
}

}  // namespace tornix
