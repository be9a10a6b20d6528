#include "width_policy_reference.h"

#include <algorithm>
#include <map>
#include <vector>

#include "support/width_reference.h"
#include "text/display_codec.h"
#include "text/gbk_string.h"
#include "text/transcode.h"

namespace tornix::testing {

namespace {

struct Row {
    char ascii;        // the half-width character, ' ' for the space row
    std::string full;  // its full-width form, code page 936
    std::string half;  // what the form becomes to half width
};

std::vector<Row> RowsOf(WidthTableKind table) {
    std::vector<Row> rows;
    const bool classic = table == WidthTableKind::kClassic;
    for (char c = 0x21; c <= 0x7E; ++c) {
        const std::string full =
            classic ? ModelFullOf(c) : EncodeFromDisplay(std::u16string(1, static_cast<char16_t>(0xFEE0 + c)));
        rows.push_back({c, full, classic && c == '/' ? "//" : std::string(1, c)});
    }
    rows.push_back({' ', EncodeFromDisplay(u"\u3000"), classic ? "   " : " "});
    return rows;
}

// The characters of code page 936 text: a lead byte with the byte after it,
// any other byte alone.
std::vector<std::string> Characters(std::string_view text) {
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        characters.emplace_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

// The class of a row, by its half-width character, as the policy states it.
unsigned ClassOf(char ascii) {
    if (ascii == ' ') return kWidthSpace;
    if (std::string_view("0123456789").find(ascii) != std::string_view::npos) return kWidthDigits;
    const std::string_view letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return letters.find(ascii) != std::string_view::npos ? kWidthLetters : kWidthPunctuation;
}

bool IsCjk(const std::string& character) {
    if (character.size() != 2) return false;
    const std::u16string shown = DecodeForDisplay(character);
    return shown.size() == 1 && shown[0] >= 0x4E00 && shown[0] <= 0x9FA5;
}

class Converter {
public:
    Converter(std::string_view text, const WidthPolicy& policy)
        : m_characters(Characters(text)), m_rows(RowsOf(policy.table)), m_policy(policy) {
        for (const std::string& kept : Characters(policy.keep)) m_kept.push_back(kept);
    }

    std::string ToFull() const {
        std::string out;
        for (std::size_t k = 0; k < m_characters.size();) {
            const std::string& c = m_characters[k];
            if (c == " ") {
                std::size_t run = 0;
                while (k + run < m_characters.size() && m_characters[k + run] == " ") ++run;
                out += Spaces(run);
                k += run;
                continue;
            }
            const Row* row = c.size() == 1 ? RowOfHalf(c[0]) : nullptr;
            out += row != nullptr && Converts(*row, c, k, true) ? row->full : c;
            ++k;
        }
        return out;
    }

    std::string ToHalf() const {
        std::string out;
        for (std::size_t k = 0; k < m_characters.size(); ++k) {
            const std::string& c = m_characters[k];
            const auto row = std::find_if(m_rows.begin(), m_rows.end(), [&c](const Row& r) { return r.full == c; });
            out += row != m_rows.end() && Converts(*row, c, k, false) ? row->half : c;
        }
        return out;
    }

private:
    const Row* RowOfHalf(char ascii) const {
        for (const Row& row : m_rows) {
            if (row.ascii == ascii) return &row;
        }
        return nullptr;
    }

    bool Kept(const std::string& c) const { return std::find(m_kept.begin(), m_kept.end(), c) != m_kept.end(); }

    std::string Spaces(std::size_t run) const {
        const Row& row = *RowOfHalf(' ');
        if ((m_policy.classes & kWidthSpace) == 0 || Kept(" ")) return std::string(run, ' ');
        if (m_policy.table == WidthTableKind::kUnicode) {
            std::string out;
            for (std::size_t n = 0; n < run; ++n) out += row.full;
            return out;
        }
        std::string out;
        for (std::size_t n = 0; n < run / 3; ++n) out += row.full;
        return out + std::string(run % 3, ' ');
    }

    bool Converts(const Row& row, const std::string& c, std::size_t k, bool toFull) const {
        const unsigned cls = ClassOf(row.ascii);
        if ((m_policy.classes & cls) == 0 || Kept(c)) return false;
        if (!m_policy.context || cls != kWidthPunctuation) return true;
        const bool nextToCjk = NeighbourIsCjk(k, -1) || NeighbourIsCjk(k, +1);
        return toFull ? nextToCjk : !nextToCjk;
    }

    // The nearest character on one side of character k, spaces skipped.
    bool NeighbourIsCjk(std::size_t k, int step) const {
        for (auto at = static_cast<std::ptrdiff_t>(k) + step;
             at >= 0 && at < static_cast<std::ptrdiff_t>(m_characters.size()); at += step) {
            const std::string& c = m_characters[static_cast<std::size_t>(at)];
            if (c != " ") return IsCjk(c);
        }
        return false;
    }

    std::vector<std::string> m_characters;
    std::vector<Row> m_rows;
    const WidthPolicy& m_policy;
    std::vector<std::string> m_kept;
};

}  // namespace

std::string ReferencePolicyConversion(std::string_view text, WidthDirection direction, const WidthPolicy& policy) {
    const Converter converter(text, policy);
    return direction == WidthDirection::kToFull ? converter.ToFull() : converter.ToHalf();
}

std::string ReferencePolicyConversionUtf8(std::string_view utf8, WidthDirection direction, const WidthPolicy& policy) {
    const FileEncoding encoding{Charset::kUtf8, false};
    return EncodeText(ReferencePolicyConversion(DecodeText(utf8, encoding), direction, policy), encoding);
}

}  // namespace tornix::testing
