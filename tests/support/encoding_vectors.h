// The encoding vectors of tests/data/encodings, written by make_vectors.py
// there with Python's codecs and iconv: one text in every encoding a file can
// come in, and what 全角 -> 半角 and 半角 -> 全角 of it give, saved in the
// same encoding; and Big5's own text (Big5 lacks some of the first one's
// characters), in Big5 and in UTF-8.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tornix::testing {

struct EncodingVector {
    const char* testName;  // for test names: "Utf8Bom"
    const char* file;      // "utf-8-bom": utf-8-bom.txt, utf-8-bom.to-half.txt, utf-8-bom.to-full.txt
    const char* choice;    // the save chooser's item for the encoding, as GBK bytes
    const char* choiceUtf8;
    const char* open = nullptr;  // the open chooser's item to pick for it; none: 自动检测 reads it
    const char* text = "";       // which text it holds: "" the one shared, "big5" Big5's own
    bool offeredAlways = true;   // false: saved in it only after a file in it was loaded

    friend bool operator==(const EncodingVector& a, const EncodingVector& b) {
        return std::string_view(a.file) == b.file;
    }
    friend void PrintTo(const EncodingVector& vector, std::ostream* out) { *out << vector.file; }
};

inline constexpr EncodingVector kEncodingVectors[] = {
    {"Gbk", "gbk", "GBK", "GBK"},
    {"Utf8", "utf-8", "UTF-8", "UTF-8"},
    {"Utf8Bom", "utf-8-bom", "\xB4\xF8\xD3\xD0 BOM \xB5\xC4 UTF-8", "带有 BOM 的 UTF-8"},
    {"Utf16Le", "utf-16le", "UTF-16 LE", "UTF-16 LE"},
    {"Utf16Be", "utf-16be", "UTF-16 BE", "UTF-16 BE"},
    {"Gb18030", "gb18030", "GB18030", "GB18030", nullptr, "", false},
    {"Big5", "big5", "Big5", "Big5", "Big5", "big5", false},
    {"Big5TextInUtf8", "big5-in-utf-8", "UTF-8", "UTF-8", nullptr, "big5"},
};

// The vector that the save chooser's `row` writes after `loaded` was loaded:
// the one of the same text in that row's encoding; nothing when that
// encoding is not offered then, or when the text was not written in it.
inline const EncodingVector* SavedVector(const EncodingVector& loaded, std::string_view row) {
    for (const EncodingVector& vector : kEncodingVectors) {
        if (vector.choice == row && std::string_view(vector.text) == loaded.text &&
            (vector.offeredAlways || vector == loaded)) {
            return &vector;
        }
    }
    return nullptr;
}

// Another vector of the same text that the save chooser offers after `loaded`,
// for the tests that save in an encoding picked there: GBK (UTF-16 BE after
// GBK), or UTF-8 for Big5's text.
inline const EncodingVector& PickedAfter(const EncodingVector& loaded) {
    const char* row = std::string_view(loaded.text) == "big5" ? "UTF-8"
                      : loaded == kEncodingVectors[0]         ? "UTF-16 BE"
                                                              : "GBK";
    return *SavedVector(loaded, row);
}

// The file's suffixes: the text, and the results of the two conversions.
inline constexpr const char* kVectorText = ".txt";
inline constexpr const char* kVectorToHalf = ".to-half.txt";
inline constexpr const char* kVectorToFull = ".to-full.txt";
// What tornix-convert gives for Big5's text (no trim, no line layout), in the
// vector's encoding.
inline constexpr const char* kVectorCliToHalf = ".cli.to-half.txt";
inline constexpr const char* kVectorCliToFull = ".cli.to-full.txt";

// The folder of the vectors (TORNIX_ENCODING_VECTORS, given by the build).
std::string EncodingVectorFolder();
// The bytes of one vector file: `file` + `suffix`.
std::string EncodingVectorBytes(std::string_view file, std::string_view suffix);

}  // namespace tornix::testing
