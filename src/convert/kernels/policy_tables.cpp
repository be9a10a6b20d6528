// Builds the kernels' view of a policy. Compiled with the build's own flags:
// it runs once per policy, never per character.
#include "policy_tables.h"

#include <algorithm>
#include <string>
#include <vector>

#include "text/gbk_string.h"

namespace tornix::kernels {

namespace {

void Add(AsciiSet& set, unsigned character) {
    set.low[character & 15] = static_cast<std::uint8_t>(set.low[character & 15] | 1u << (character >> 4));
}

// The characters of the policy's keep text: single bytes, and two-byte
// characters by their code.
class KeptCharacters {
public:
    explicit KeptCharacters(const std::string& keep) {
        for (std::size_t i = 0; i < keep.size();) {
            const auto byte = static_cast<unsigned char>(keep[i]);
            if (IsLeadByte(byte) && i + 1 < keep.size()) {
                m_pairs.push_back(static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(keep[i + 1])));
                i += 2;
            } else {
                if (byte < 0x80) m_ascii[byte] = true;
                ++i;
            }
        }
    }
    bool HasAscii(unsigned char byte) const { return m_ascii[byte]; }
    bool HasPair(const char* pair) const {
        const auto code = static_cast<std::uint16_t>(Byte(pair, 0) << 8 | Byte(pair, 1));
        return std::find(m_pairs.begin(), m_pairs.end(), code) != m_pairs.end();
    }

private:
    bool m_ascii[128]{};
    std::vector<std::uint16_t> m_pairs;
};

// Adds `character` to the set its rule says: a character of a class that
// does not convert, or one that is kept, to neither.
void SetRule(ConvertSets& sets, unsigned char character, Rule rule) {
    if (rule == Rule::kKeep) return;
    Add(rule == Rule::kConvert ? sets.always : sets.byContext, character);
    sets.rules[character] = static_cast<std::uint8_t>(rule);
}

void AddByRule(ConvertSets& sets, unsigned char character, bool kept, const WidthPolicy& policy) {
    const unsigned cls = WidthClassOf(character);
    if (kept || (policy.classes & cls) == 0) return;
    SetRule(sets, character, policy.context && cls == kWidthPunctuation ? Rule::kByContext : Rule::kConvert);
}

void CopyRule(const ConvertSets& from, ConvertSets& to, unsigned char character) {
    SetRule(to, character, RuleOf(from, character));
}

void CompileToFull(const WidthPolicy& policy, const KeptCharacters& kept, PolicyTables& tables) {
    for (unsigned char c = 0x21; c <= 0x7E; ++c) AddByRule(tables.full, c, kept.HasAscii(c), policy);
    const bool spaces = (policy.classes & kWidthSpace) != 0 && !kept.HasAscii(' ');
    const bool classic = policy.table == WidthTableKind::kClassic;
    tables.fullSpaces = !spaces ? SpaceRule::kKept : classic ? SpaceRule::kTriples : SpaceRule::kSingles;
    tables.fullForms = FullFormsOf(policy.table);
    tables.utf8FullForms = Utf8FullFormsOf(policy.table);
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (byte >= 0x21 && byte <= 0x7E && RuleOf(tables.full, static_cast<unsigned char>(byte)) != Rule::kKeep) {
            continue;
        }
        tables.fullForms.full[byte][0] = static_cast<char>(byte);
        tables.fullForms.length[byte] = 1;
        tables.utf8FullForms.form[byte][0] = static_cast<char>(byte);
        tables.utf8FullForms.length[byte] = 1;
    }
    // A space alone: as it is, or where each space converts, U+3000.
    if (tables.fullSpaces == SpaceRule::kSingles) {
        constexpr unsigned kSpace = ' ';
        tables.fullForms.full[kSpace][0] = static_cast<char>(kFullSpaceLead);
        tables.fullForms.full[kSpace][1] = static_cast<char>(kFullSpaceTrail);
        tables.fullForms.length[kSpace] = 2;
        for (int k = 0; k < 3; ++k) tables.utf8FullForms.form[kSpace][k] = kUtf8FullSpace.bytes[k];
        tables.utf8FullForms.length[kSpace] = 3;
    }
}

// The rows under 0xA1 that stay are taken out of the nibble table, as where
// no row is.
void CompileA1Rows(PolicyTables& tables) {
    tables.a1 = tables.table == WidthTableKind::kClassic ? kA1Forms : kUnicodeA1Forms;
    for (unsigned nibble = 0; nibble < 16; ++nibble) {
        if (tables.a1.trail[nibble] == (nibble ^ 1)) continue;
        const Rule rule = RuleOf(tables.half, tables.a1.half[nibble]);
        if (rule == Rule::kKeep) tables.a1.trail[nibble] = static_cast<std::uint8_t>(nibble ^ 1);
        if (rule == Rule::kByContext && tables.a1ByContextCount < kMaxA1Marks) {
            tables.a1ByContext[tables.a1ByContextCount++] = tables.a1.trail[nibble];
        }
    }
}

void CompileToHalf(const WidthPolicy& policy, const KeptCharacters& kept, PolicyTables& tables) {
    const WidthPair* rows = WidthRows(policy.table);
    for (int row = 0; row < kWidthTableRows; ++row) {
        const unsigned char c = Byte(rows[row].half, 0);
        AddByRule(tables.half, c, kept.HasPair(rows[row].full), policy);
        if (Byte(rows[row].full, 0) == 0xA3 && Byte(rows[row].full, 1) == (c | 0x80)) {
            CopyRule(tables.half, tables.halfUnderA3, c);
        }
        const Utf8Form form = EncodeUtf8(FullFormCharacter(row, policy.table));
        if (row > 0 && FullFormCharacter(row, policy.table) == kRegularFullBase + c) {
            CopyRule(tables.half, tables.halfUtf8Regular, c);
        } else if (Byte(form.bytes, 0) == kIrregularFirst && tables.utf8IrregularCount < kUtf8IrregularRows) {
            const auto length = static_cast<std::uint8_t>(LiteralLength(HalfOfRow(policy.table, row)));
            tables.utf8Irregular[tables.utf8IrregularCount++] = {Byte(form.bytes, 2), c, length};
        }
    }
    CompileA1Rows(tables);
    tables.solidusExtra = policy.table == WidthTableKind::kClassic ? 1 : 0;
}

}  // namespace

PolicyTables CompilePolicy(const WidthPolicy& policy) {
    PolicyTables tables;
    tables.table = policy.table;
    tables.context = policy.context && (policy.classes & kWidthPunctuation) != 0;
    const KeptCharacters kept(policy.keep);
    CompileToFull(policy, kept, tables);
    CompileToHalf(policy, kept, tables);
    return tables;
}

}  // namespace tornix::kernels
