// The encoding vectors of tests/data/encodings, written by make_vectors.py
// there with Python's codecs and iconv: one text in every encoding a file can
// come in, and what 全角 -> 半角 and 半角 -> 全角 of it give, saved in the
// same encoding.
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
    {"Gb18030", "gb18030", "GB18030", "GB18030"},
};

// The file's suffixes: the text, and the results of the two conversions.
inline constexpr const char* kVectorText = ".txt";
inline constexpr const char* kVectorToHalf = ".to-half.txt";
inline constexpr const char* kVectorToFull = ".to-full.txt";

// The folder of the vectors (TORNIX_ENCODING_VECTORS, given by the build).
std::string EncodingVectorFolder();
// The bytes of one vector file: `file` + `suffix`.
std::string EncodingVectorBytes(std::string_view file, std::string_view suffix);

}  // namespace tornix::testing
