#include "text/encoding.h"

#include <cstdint>
#include <cstring>

#include "encodings/codec.h"
#include "simd/utf8_check.h"

namespace tornix {
namespace {

// The marks (EF BB BF, FF FE, FE FF, 84 31 95 33) cannot be mistaken for
// one another: none is the beginning of another.
constexpr std::array<const CharsetRecord*, kCharsetCount> kCharsets = {
    &encodings::kGbkCharset,     &encodings::kGb18030Charset, &encodings::kUtf8Charset,
    &encodings::kUtf16LeCharset, &encodings::kUtf16BeCharset, &encodings::kBig5Charset,
};

constexpr std::array<const CharsetRecord*, kCharsetCount> kOpenChoices = {
    &encodings::kGbkCharset,     &encodings::kBig5Charset,    &encodings::kUtf8Charset,
    &encodings::kUtf16LeCharset, &encodings::kUtf16BeCharset, &encodings::kGb18030Charset,
};

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the character that begins with `lead`, 0 if no character
// begins with it, and the range its second byte must lie in (which rules out
// overlong forms, surrogates and values above U+10FFFF).
struct LeadRule {
    int length;
    unsigned char low, high;
};

LeadRule RuleFor(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

// Eight bytes at a time while they are all ASCII.
std::size_t SkipAscii(const unsigned char* bytes, std::size_t at, std::size_t size) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    while (at + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        if ((word & kHighBits) != 0) break;
        at += 8;
    }
    while (at < size && bytes[at] < 0x80) ++at;
    return at;
}

}  // namespace

const CharsetRecord& RecordOf(Charset charset) {
    return *kCharsets[static_cast<std::size_t>(charset)];
}

const std::array<const CharsetRecord*, kCharsetCount>& Charsets() {
    return kCharsets;
}

const std::array<const CharsetRecord*, kCharsetCount>& OpenChoices() {
    return kOpenChoices;
}

std::string_view ByteOrderMark(Charset charset) {
    return RecordOf(charset).byteOrderMark;
}

std::optional<FileEncoding> EncodingFromByteOrderMark(std::string_view bytes) {
    for (const CharsetRecord* record : kCharsets) {
        const std::string_view mark = record->byteOrderMark;
        if (!mark.empty() && bytes.substr(0, mark.size()) == mark) return FileEncoding{record->charset, true};
    }
    return std::nullopt;
}

Utf8Scan ScanUtf8(std::string_view input, bool complete) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const std::size_t size = input.size();
    Utf8Scan scan;
    std::size_t at = simd::ValidUtf8Prefix(bytes, size, scan.sawNonAscii);
    for (;;) {
        at = SkipAscii(bytes, at, size);
        // The likely case first: three-byte characters (Chinese) one after
        // another, whose lead allows any continuation bytes after it.
        const std::size_t before = at;
        while (at + 3 <= size && ((bytes[at] >= 0xE1 && bytes[at] <= 0xEC) || bytes[at] >= 0xEE) && bytes[at] <= 0xEF &&
               IsContinuation(bytes[at + 1]) && IsContinuation(bytes[at + 2])) {
            at += 3;
        }
        if (at != before) {
            scan.sawNonAscii = true;
            continue;
        }
        scan.validLength = at;
        if (at == size) {
            scan.valid = true;
            return scan;
        }
        const LeadRule rule = RuleFor(bytes[at]);
        if (rule.length == 0) return scan;
        const std::size_t end = at + static_cast<std::size_t>(rule.length);
        for (std::size_t k = at + 1; k < end; ++k) {
            if (k == size) {
                scan.valid = !complete;  // cut by the end of what has come so far
                return scan;
            }
            const bool inRange = k == at + 1 ? bytes[k] >= rule.low && bytes[k] <= rule.high : IsContinuation(bytes[k]);
            if (!inRange) return scan;
        }
        scan.sawNonAscii = true;
        at = end;
    }
}

FileEncoding DetectEncoding(std::string_view bytes) {
    if (const auto marked = EncodingFromByteOrderMark(bytes)) return *marked;
    const Utf8Scan scan = ScanUtf8(bytes, false);
    if (scan.valid && scan.sawNonAscii) return {Charset::kUtf8, false};
    return {Charset::kGbk, false};
}

bool StartRule::MarkMayStillCome() const {
    for (const CharsetRecord* record : kCharsets) {
        const std::string_view mark = record->byteOrderMark;
        if (m_head.size() < mark.size() && mark.substr(0, m_head.size()) == m_head) return true;
    }
    return false;
}

std::optional<FileEncoding> StartRule::Take(std::string_view piece) {
    if (m_decided) return m_decided;
    if (m_head.size() < 4) m_head.append(piece.substr(0, 4 - m_head.size()));
    if (const auto marked = EncodingFromByteOrderMark(m_head)) return m_decided = marked;
    piece = piece.substr(0, static_cast<std::size_t>(kDecidingStart - m_scanned));
    m_scanned += piece.size();
    m_check.Check(piece);
    if (MarkMayStillCome()) return std::nullopt;
    if (m_check.firstInvalid()) return m_decided = FileEncoding{Charset::kGbk, false};
    if (m_scanned < kDecidingStart) return std::nullopt;
    return m_decided = FileEncoding{m_check.sawNonAscii() ? Charset::kUtf8 : m_allAscii, false};
}

FileEncoding StartRule::Finish() {
    if (m_decided) return *m_decided;
    if (m_check.firstInvalid()) return {Charset::kGbk, false};
    return {m_check.sawNonAscii() ? Charset::kUtf8 : m_allAscii, false};
}

void Utf8Validator::Check(std::string_view piece) {
    if (m_firstInvalid) return;
    if (!m_carry.empty()) {  // complete the character the last piece cut short
        const std::string joined = m_carry + std::string(piece.substr(0, 4));
        const Utf8Scan scan = ScanUtf8(joined, false);
        m_sawNonAscii = m_sawNonAscii || scan.sawNonAscii;
        if (!scan.valid) {
            m_firstInvalid = m_offset + scan.validLength;
            return;
        }
        if (scan.validLength < m_carry.size()) {  // still cut: all of the piece is in `joined`
            m_carry = joined;
            return;
        }
        piece.remove_prefix(scan.validLength - m_carry.size());
        m_offset += scan.validLength;
        m_carry.clear();
    }
    const Utf8Scan scan = ScanUtf8(piece, false);
    m_sawNonAscii = m_sawNonAscii || scan.sawNonAscii;
    if (!scan.valid) {
        m_firstInvalid = m_offset + scan.validLength;
        return;
    }
    m_carry.assign(piece.substr(scan.validLength));
    m_offset += scan.validLength;
}

void Utf8Validator::Finish() {
    m_carry.clear();
}

std::optional<Charset> CharsetFromName(std::string_view wanted) {
    for (const CharsetRecord* record : kCharsets) {
        if (record->name == wanted) return record->charset;
        for (const std::string_view alias : record->aliases) {
            if (!alias.empty() && alias == wanted) return record->charset;
        }
    }
    return std::nullopt;
}

}  // namespace tornix
