// kWidthTable, the 95 rows that define both conversions (width.h): data
// only, so that the kernels can derive their tables from it (kernels/) without
// the routines that call them.
#pragma once

namespace tornix {

// One row of the width table: a half-width text and its full-width form, both
// as code page 936 bytes.
struct WidthPair {
    const char* half;  // one printable ASCII character, or three spaces in row 1
    const char* full;  // one two-byte GBK character
};

inline constexpr int kWidthTableRows = 95;

// Row 1 pairs three spaces with U+3000; rows 2..95 pair each printable ASCII
// character from ! to ~ with its full-width form, except that . pairs with 。.
// clang-format off
inline constexpr WidthPair kWidthTable[kWidthTableRows] = {
    {"   ", "\xA1\xA1"},  //  1  　 three spaces
    {"!",   "\xA3\xA1"},  //  2  ！ (!)
    {"\"",  "\xA3\xA2"},  //  3  ＂ (")
    {"#",   "\xA3\xA3"},  //  4  ＃ (#)
    {"$",   "\xA1\xE7"},  //  5  ＄ ($)
    {"%",   "\xA3\xA5"},  //  6  ％ (%)
    {"&",   "\xA3\xA6"},  //  7  ＆ (&)
    {"'",   "\xA3\xA7"},  //  8  ＇ (')
    {"(",   "\xA3\xA8"},  //  9  （ (()
    {")",   "\xA3\xA9"},  // 10  ） ())
    {"*",   "\xA3\xAA"},  // 11  ＊ (*)
    {"+",   "\xA3\xAB"},  // 12  ＋ (+)
    {",",   "\xA3\xAC"},  // 13  ， (,)
    {"-",   "\xA3\xAD"},  // 14  － (-)
    {".",   "\xA1\xA3"},  // 15  。 (.)
    {"/",   "\xA3\xAF"},  // 16  ／ (/)
    {"0",   "\xA3\xB0"},  // 17  ０ (0)
    {"1",   "\xA3\xB1"},  // 18  １ (1)
    {"2",   "\xA3\xB2"},  // 19  ２ (2)
    {"3",   "\xA3\xB3"},  // 20  ３ (3)
    {"4",   "\xA3\xB4"},  // 21  ４ (4)
    {"5",   "\xA3\xB5"},  // 22  ５ (5)
    {"6",   "\xA3\xB6"},  // 23  ６ (6)
    {"7",   "\xA3\xB7"},  // 24  ７ (7)
    {"8",   "\xA3\xB8"},  // 25  ８ (8)
    {"9",   "\xA3\xB9"},  // 26  ９ (9)
    {":",   "\xA3\xBA"},  // 27  ： (:)
    {";",   "\xA3\xBB"},  // 28  ； (;)
    {"<",   "\xA3\xBC"},  // 29  ＜ (<)
    {"=",   "\xA3\xBD"},  // 30  ＝ (=)
    {">",   "\xA3\xBE"},  // 31  ＞ (>)
    {"?",   "\xA3\xBF"},  // 32  ？ (?)
    {"@",   "\xA3\xC0"},  // 33  ＠ (@)
    {"A",   "\xA3\xC1"},  // 34  Ａ (A)
    {"B",   "\xA3\xC2"},  // 35  Ｂ (B)
    {"C",   "\xA3\xC3"},  // 36  Ｃ (C)
    {"D",   "\xA3\xC4"},  // 37  Ｄ (D)
    {"E",   "\xA3\xC5"},  // 38  Ｅ (E)
    {"F",   "\xA3\xC6"},  // 39  Ｆ (F)
    {"G",   "\xA3\xC7"},  // 40  Ｇ (G)
    {"H",   "\xA3\xC8"},  // 41  Ｈ (H)
    {"I",   "\xA3\xC9"},  // 42  Ｉ (I)
    {"J",   "\xA3\xCA"},  // 43  Ｊ (J)
    {"K",   "\xA3\xCB"},  // 44  Ｋ (K)
    {"L",   "\xA3\xCC"},  // 45  Ｌ (L)
    {"M",   "\xA3\xCD"},  // 46  Ｍ (M)
    {"N",   "\xA3\xCE"},  // 47  Ｎ (N)
    {"O",   "\xA3\xCF"},  // 48  Ｏ (O)
    {"P",   "\xA3\xD0"},  // 49  Ｐ (P)
    {"Q",   "\xA3\xD1"},  // 50  Ｑ (Q)
    {"R",   "\xA3\xD2"},  // 51  Ｒ (R)
    {"S",   "\xA3\xD3"},  // 52  Ｓ (S)
    {"T",   "\xA3\xD4"},  // 53  Ｔ (T)
    {"U",   "\xA3\xD5"},  // 54  Ｕ (U)
    {"V",   "\xA3\xD6"},  // 55  Ｖ (V)
    {"W",   "\xA3\xD7"},  // 56  Ｗ (W)
    {"X",   "\xA3\xD8"},  // 57  Ｘ (X)
    {"Y",   "\xA3\xD9"},  // 58  Ｙ (Y)
    {"Z",   "\xA3\xDA"},  // 59  Ｚ (Z)
    {"[",   "\xA3\xDB"},  // 60  ［ ([)
    {"\\",  "\xA3\xDC"},  // 61  ＼ (\)
    {"]",   "\xA3\xDD"},  // 62  ］ (])
    {"^",   "\xA3\xDE"},  // 63  ＾ (^)
    {"_",   "\xA3\xDF"},  // 64  ＿ (_)
    {"`",   "\xA3\xE0"},  // 65  ｀ (`)
    {"a",   "\xA3\xE1"},  // 66  ａ (a)
    {"b",   "\xA3\xE2"},  // 67  ｂ (b)
    {"c",   "\xA3\xE3"},  // 68  ｃ (c)
    {"d",   "\xA3\xE4"},  // 69  ｄ (d)
    {"e",   "\xA3\xE5"},  // 70  ｅ (e)
    {"f",   "\xA3\xE6"},  // 71  ｆ (f)
    {"g",   "\xA3\xE7"},  // 72  ｇ (g)
    {"h",   "\xA3\xE8"},  // 73  ｈ (h)
    {"i",   "\xA3\xE9"},  // 74  ｉ (i)
    {"j",   "\xA3\xEA"},  // 75  ｊ (j)
    {"k",   "\xA3\xEB"},  // 76  ｋ (k)
    {"l",   "\xA3\xEC"},  // 77  ｌ (l)
    {"m",   "\xA3\xED"},  // 78  ｍ (m)
    {"n",   "\xA3\xEE"},  // 79  ｎ (n)
    {"o",   "\xA3\xEF"},  // 80  ｏ (o)
    {"p",   "\xA3\xF0"},  // 81  ｐ (p)
    {"q",   "\xA3\xF1"},  // 82  ｑ (q)
    {"r",   "\xA3\xF2"},  // 83  ｒ (r)
    {"s",   "\xA3\xF3"},  // 84  ｓ (s)
    {"t",   "\xA3\xF4"},  // 85  ｔ (t)
    {"u",   "\xA3\xF5"},  // 86  ｕ (u)
    {"v",   "\xA3\xF6"},  // 87  ｖ (v)
    {"w",   "\xA3\xF7"},  // 88  ｗ (w)
    {"x",   "\xA3\xF8"},  // 89  ｘ (x)
    {"y",   "\xA3\xF9"},  // 90  ｙ (y)
    {"z",   "\xA3\xFA"},  // 91  ｚ (z)
    {"{",   "\xA3\xFB"},  // 92  ｛ ({)
    {"|",   "\xA3\xFC"},  // 93  ｜ (|)
    {"}",   "\xA3\xFD"},  // 94  ｝ (})
    {"~",   "\xA1\xAB"},  // 95  ～ (~)
};
// clang-format on

// ToHalfWidth's one departure from the table: row 16's "／" becomes two
// solidi.
inline constexpr int kSolidusRow = 15;  // counted from 0
inline constexpr const char* kSolidusHalf = "//";

// The tables a conversion policy may choose (width_policy.h): kClassic is
// kWidthTable, the window's; kUnicode the Unicode width forms, which people
// who come from other tools expect: ! .. ~ with U+FF01 .. U+FF5E one for one
// (. with ．, / with ／ both ways), one space with U+3000, 。 no form of
// anything.
enum class WidthTableKind { kClassic, kUnicode };

inline constexpr int kFullStopRow = 14;  // counted from 0

struct WidthRowList {
    WidthPair rows[kWidthTableRows];
};

// kWidthTable's rows with the two that differ: row 1 pairs one space with
// U+3000, row 15 the full stop with ． (0xA3AE). (The other 93 forms are the
// code page's U+FF01 .. U+FF5E already.)
constexpr WidthRowList MakeUnicodeWidthTable() {
    WidthRowList table{};
    for (int row = 0; row < kWidthTableRows; ++row) table.rows[row] = kWidthTable[row];
    table.rows[0] = {" ", "\xA1\xA1"};             //  1  　 one space
    table.rows[kFullStopRow] = {".", "\xA3\xAE"};  // 15  ． (.)
    return table;
}

inline constexpr WidthRowList kUnicodeWidthTable = MakeUnicodeWidthTable();

constexpr const WidthPair* WidthRows(WidthTableKind kind) {
    return kind == WidthTableKind::kClassic ? kWidthTable : kUnicodeWidthTable.rows;
}

// What a row's full-width form becomes to half width: its half-width text,
// except the classic table's solidus row.
constexpr const char* HalfOfRow(WidthTableKind kind, int row) {
    return kind == WidthTableKind::kClassic && row == kSolidusRow ? kSolidusHalf : WidthRows(kind)[row].half;
}

}  // namespace tornix
