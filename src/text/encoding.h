// The encodings a text file can come in, one record each of what the program
// says about them, and the one rule that tells which a file is in.
//
// Rule: a byte-order mark decides (UTF-8 EF BB BF, UTF-16 LE FF FE, UTF-16 BE
// FE FF, GB18030 84 31 95 33); without one, bytes that are strictly valid
// UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF) and hold at
// least one character outside ASCII are UTF-8; everything else, pure ASCII
// included, is code page 936.
//
// UTF-8 cut short in the middle of its last character still counts as UTF-8
// when everything before the cut is valid and the cut bytes begin a character
// properly: a file cut by a size limit (a download, `head -c`) is still the
// UTF-8 it was, and its unfinished last bytes are kept as they are. Code page
// 936 text can look like that only when all of it but the last one to three
// bytes is ASCII or valid UTF-8, which real Chinese text never is.
//
// Examples: 联通 in code page 936 (C1 AA CD A8) is code page 936 — C1 is no
// UTF-8 lead byte; E4 B8 AD (中) is UTF-8; E4 B8 alone at the end of text
// that holds other UTF-8 is UTF-8 cut short; "abc" is code page 936.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tornix {

// In the order the command line names them and the save choosers list them
// (but for those offered only after loading, which come last).
enum class Charset {
    kGbk,      // code page 936
    kGb18030,  // GB18030, which code page 936 is almost a part of
    kUtf8,
    kUtf16Le,
    kUtf16Be,
    kBig5,  // code page 950, as Windows has it
};
inline constexpr std::size_t kCharsetCount = 6;

// When the save choosers offer a character set (the open choosers offer
// every one).
enum class SaveOffer {
    kAlways,
    kAfterLoading,  // only once a file in it was loaded, so that it can be saved as it came; listed last
};

// A row of the save choosers' list: its text (code page 936) and whether the
// file gets the byte-order mark. A row with no text is not offered.
struct SaveChoice {
    const char* name = nullptr;
    bool byteOrderMark = false;
};

struct CharsetCodec;  // its decoder and encoder (text/encodings/codec.h)

// Everything the program says about a character set, in one record, which
// the file of its encoding holds (text/encodings/): the rule below and
// transcode.h, the command line and both save choosers read it.
struct CharsetRecord {
    Charset charset;
    std::string_view name;                    // on the command line: "utf-8"
    std::array<std::string_view, 2> aliases;  // also taken there ("utf8"); empty: none
    std::string_view byteOrderMark;           // empty: none
    std::string_view title;                   // in messages: "UTF-8"
    SaveOffer offer;
    std::array<SaveChoice, 2> saveChoices;  // in the order listed
    std::string_view openChoice;            // its row in the open choosers' list (code page 936): "UTF-8"
    const CharsetCodec* codec;
};

// The record of `charset`.
const CharsetRecord& RecordOf(Charset charset);

// Every character set's record, in the order of Charset.
const std::array<const CharsetRecord*, kCharsetCount>& Charsets();

// Every character set's record in the order the open choosers list them,
// below the rule's own row: the code pages (GBK, Big5), Unicode, GB18030.
const std::array<const CharsetRecord*, kCharsetCount>& OpenChoices();

struct FileEncoding {
    Charset charset = Charset::kGbk;
    bool byteOrderMark = false;

    friend bool operator==(FileEncoding a, FileEncoding b) {
        return a.charset == b.charset && a.byteOrderMark == b.byteOrderMark;
    }
    friend bool operator!=(FileEncoding a, FileEncoding b) { return !(a == b); }
};

// The byte-order mark that begins a file in `charset`: its record's.
std::string_view ByteOrderMark(Charset charset);

// The encoding whose byte-order mark begins `bytes`, if any.
std::optional<FileEncoding> EncodingFromByteOrderMark(std::string_view bytes);

// The encoding of a whole file's bytes, by the rule above.
FileEncoding DetectEncoding(std::string_view bytes);

// How many bytes of a text's start StartRule looks at.
inline constexpr std::size_t kDecidingStart = std::size_t{1} << 20;

// Finds the first byte that is no part of a valid UTF-8 character (strict,
// as above) in text that arrives piece by piece.
class Utf8Validator {
public:
    void Check(std::string_view piece);
    // The end of the text: a character still cut short there is no error, as
    // the rule above counts such a text as UTF-8 (its bytes are kept).
    void Finish();
    // Its offset among all bytes checked.
    std::optional<std::uint64_t> firstInvalid() const { return m_firstInvalid; }
    // Whether a whole character outside ASCII came before it.
    bool sawNonAscii() const { return m_sawNonAscii; }

private:
    std::string m_carry;         // a character that the last piece cut short
    std::uint64_t m_offset = 0;  // where m_carry (or the next piece) begins
    std::optional<std::uint64_t> m_firstInvalid;
    bool m_sawNonAscii = false;
};

// The rule for text that arrives piece by piece and is converted as it
// comes: the decision that DetectEncoding gives for its first MiB whole (the
// whole text when shorter), however the pieces cut it, but for a start that
// is all ASCII (a character cut by the MiB's end included), which is taken
// in `allAscii` (a command line's locale) rather than code page 936. The
// decision is known early when the start begins with a mark, or holds a byte
// that is no part of valid UTF-8 (code page 936, whatever follows);
// otherwise once the first MiB, or the whole text, has come. Each byte is
// looked at once.
// Example: "abc\xD6\xD0" is code page 936 once the D6 D0 has come;
// "abc\xE4\xB8\xAD" UTF-8 at its end (or when a MiB long).
class StartRule {
public:
    explicit StartRule(Charset allAscii) : m_allAscii(allAscii) {}
    // Takes the next piece; the decision, once it is known.
    std::optional<FileEncoding> Take(std::string_view piece);
    // The text has ended: the decision.
    FileEncoding Finish();

private:
    bool MarkMayStillCome() const;

    Charset m_allAscii;
    std::optional<FileEncoding> m_decided;
    std::string m_head;           // the first four bytes, for a mark
    std::uint64_t m_scanned = 0;  // bytes of the first MiB looked at
    Utf8Validator m_check;        // of the first MiB
};

// How far `bytes` is valid UTF-8 (strict, as above): the length of the longest
// valid prefix that ends on a character boundary. `complete` tells whether the
// bytes are the whole text; if not, a character cut by their end is not yet
// an error.
struct Utf8Scan {
    std::size_t validLength = 0;
    bool sawNonAscii = false;
    bool valid = false;  // every byte valid (a character cut at the very end allowed when !complete)
};
Utf8Scan ScanUtf8(std::string_view input, bool complete);

// The character set whose record's name or one of its aliases is `wanted`
// (as spelled there: lower case).
std::optional<Charset> CharsetFromName(std::string_view wanted);

}  // namespace tornix
