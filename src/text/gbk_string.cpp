#include "text/gbk_string.h"

namespace tornix {

namespace {

// Length of the character that begins at `pos`: 2 for a lead byte with a byte
// after it, else 1.
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Calls onMatch with the position of each occurrence of `needle` that begins
// on a character boundary, scanning left to right without overlap.
template <typename OnMatch>
void ForEachMatch(std::string_view text, std::string_view needle, OnMatch onMatch) {
    const char first = needle.front();
    std::size_t pos = 0;
    while (pos + needle.size() <= text.size()) {
        if (text[pos] == first && text.compare(pos, needle.size(), needle) == 0) {
            onMatch(pos);
            pos += needle.size();
        } else {
            pos += CharLength(text, pos);
        }
    }
}

}  // namespace

GbkString::GbkString(const char* literal) : m_bytes(literal ? literal : "") {}

GbkString& GbkString::operator=(const char* literal) {
    m_bytes.assign(literal ? literal : "");
    return *this;
}

GbkString& GbkString::operator+=(const char* literal) {
    if (literal) m_bytes.append(literal);
    return *this;
}

void GbkString::TrimLeft() {
    std::size_t skip = 0;
    while (skip < m_bytes.size() && IsTrimSpace(static_cast<unsigned char>(m_bytes[skip]))) ++skip;
    m_bytes.erase(0, skip);
}

void GbkString::TrimRight() {
    // White space is single-byte, so only the trailing run of white-space bytes
    // can go. The first of them that starts a character bounds the cut: a byte
    // that is not a lead byte ends a character wherever it stands, so from the
    // last such byte before the run the lead bytes pair up, and the parity of
    // that stretch says whether the run's first byte is a trail byte.
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_bytes.data());
    std::size_t runStart = m_bytes.size();
    while (runStart > 0 && IsTrimSpace(bytes[runStart - 1])) --runStart;
    if (runStart == m_bytes.size()) return;

    std::size_t leadsBefore = 0;
    while (leadsBefore < runStart && IsLeadByte(bytes[runStart - 1 - leadsBefore])) ++leadsBefore;
    // An odd count means the byte before the run is a lead byte that owns the
    // run's first byte.
    m_bytes.resize(leadsBefore % 2 == 1 ? runStart + 1 : runStart);
}

int GbkString::Replace(std::string_view oldText, std::string_view newText) {
    if (oldText.empty() || oldText.size() > m_bytes.size()) return 0;

    // Counted first, so that the result is built in one allocation.
    std::size_t count = 0;
    ForEachMatch(m_bytes, oldText, [&count](std::size_t) { ++count; });
    if (count == 0) return 0;

    std::string result;
    result.reserve(m_bytes.size() - count * oldText.size() + count * newText.size());
    std::size_t copied = 0;
    ForEachMatch(m_bytes, oldText, [&](std::size_t match) {
        result.append(m_bytes, copied, match - copied);
        result.append(newText);
        copied = match + oldText.size();
    });
    result.append(m_bytes, copied, std::string::npos);
    m_bytes = std::move(result);
    return static_cast<int>(count);
}

}  // namespace tornix
