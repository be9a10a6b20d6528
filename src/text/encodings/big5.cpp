// Big5 files, read and written as Windows' code page 950 has them: the
// character set's record, the decoder and the encoder.
//
// The table is the platform's (display_codec_backend.h: ICU's
// windows-950-2000 on Linux, code page 950 on Windows), and the two agree
// code for code but for one: Windows maps the byte 0xFF and U+F8F8 to each
// other, which Wine's code page leaves unmapped; it is added here wherever it
// is missing, so that every platform reads and writes the same bytes.
//
// What that holds: Big5 with the ETEN extensions (F9 D6..F9 FE: 碁銹裏墻恒粧嫺
// and box drawing) and the euro sign at A3 E1; 0x80 as U+0080; and the
// user-defined areas 81 40..A0 FE, C6 A1..C8 FE and FA 40..FE FE, where the
// Hong Kong Supplementary Character Set puts its characters, as the
// private-use characters U+E000..U+F848 that Windows gives them, both ways.
// So a Hong Kong file comes back byte for byte, but its HKSCS characters are
// private-use ones in every other encoding, as in Notepad.
//
// Ten codes duplicate others and are read one way only: A2 A4..A2 A7 (═╞╪╡,
// which iconv and Python write; Windows writes F9 F9, F9 E9..F9 EB), F9 FA..
// F9 FD (╭╮╰╯, written A2 7E, A2 A1..A2 A3) and A2 CC, A2 CE (十 卅, written
// A4 51, A4 CA). They load as their characters, and saving writes each
// character in the one form the code page gives it.
//
// A byte that is no character (a lead byte whose pair the code page does not
// map, or one at the very end) is kept, the lead alone: the byte after it is
// read again. A character that the code page lacks (这, 😀, ＂) is written as
// the program's text holds it, and the first one is noted with its line
// (TextEncoder::firstUnencodable), so that a save can refuse the text.
#include <algorithm>
#include <memory>

#include "codec.h"

namespace tornix::encodings {

using namespace codec;

namespace {

struct Big5Tables {
    Form forms[kUnitCount];                               // the bytes of each unit; length 0: none
    char16_t pair[display_codec_backend::kTwoByteCodes];  // the unit of a two-byte code; 0: none
    char16_t single[256];                                 // the unit of a byte from 0x80 up that stands alone; 0: none
};

// The one mapping that a platform may lack (see the top of this file).
constexpr unsigned char kByteFF = 0xFF;
constexpr char16_t kPrivateUseFF = 0xF8F8;

Form FormOf(std::uint16_t code) {
    if (code < 0x100) return {{static_cast<std::uint8_t>(code)}, 1};
    return {{static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code & 0xFF)}, 2};
}

// Without code page 950 (a system that lacks it) only ASCII is a character.
std::unique_ptr<const Big5Tables> BuildBig5Tables() {
    auto big5 = std::make_unique<Big5Tables>();
    for (std::size_t unit = 0; unit < 0x80; ++unit) big5->forms[unit] = FormOf(static_cast<std::uint16_t>(unit));
    display_codec_backend::CodePage950Forms platform;
    if (!display_codec_backend::LoadCodePage950(platform)) return big5;
    for (std::size_t unit = 0x80; unit < kUnitCount; ++unit) {
        const std::uint16_t code = platform.encoded[unit];
        if (code == display_codec_backend::kNoCodePageForm) continue;
        big5->forms[unit] = FormOf(code);
        if (code < 0x100) big5->single[code] = static_cast<char16_t>(unit);
    }
    std::copy(platform.decoded.begin(), platform.decoded.end(), big5->pair);
    if (big5->single[kByteFF] == 0 && big5->forms[kPrivateUseFF].length == 0) {
        big5->single[kByteFF] = kPrivateUseFF;
        big5->forms[kPrivateUseFF] = FormOf(kByteFF);
    }
    return big5;
}

const Big5Tables& GetBig5Tables() {
    static const std::unique_ptr<const Big5Tables> tables = BuildBig5Tables();
    return *tables;
}

std::size_t DecodeBig5(std::string_view input, std::string& text, std::uint64_t offset, bool final,
                       DecodeState& state) {
    const Big5Tables& big5 = GetBig5Tables();
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    const std::size_t size = input.size();
    std::size_t at = 0;
    while (at < size) {
        if (const std::size_t run = AsciiRun(bytes, at, size)) {
            state.builder.Ascii(text, bytes + at, run);
            at += run;
            continue;
        }
        const unsigned char lead = bytes[at];
        char16_t unit = 0;
        std::size_t length = 1;
        if (!IsLeadByte(lead)) {
            unit = big5.single[lead];
        } else if (at + 1 == size && !final) {
            return at;  // its trail byte is still to come
        } else if (at + 1 < size) {
            unit = big5.pair[(lead - 0x81) * 256 + bytes[at + 1]];
            length = 2;
        }
        if (unit == 0) {
            state.Invalid(text, input.substr(at, 1), offset + at);
            ++at;
            continue;
        }
        state.builder.Unit(text, unit, input.substr(at, length));
        at += length;
    }
    return at;
}

// Receives the program's text walked token by token (codec::WalkText) and
// writes its Big5 bytes; what Big5 lacks goes as the text holds it, and the
// first such character is noted.
class Big5Sink {
public:
    Big5Sink(std::string& out, EncodeState& state) : m_out(out), m_state(state), m_big5(GetBig5Tables()) {}

    void PutAscii(const unsigned char* bytes, std::size_t count) {
        FlushHigh();
        if (!m_state.unencodable)
            m_state.lineBreaks += static_cast<std::uint64_t>(std::count(bytes, bytes + count, '\n'));
        m_out.append(reinterpret_cast<const char*>(bytes), count);
    }

    void Put(char16_t unit) {
        if (m_high != 0) {
            const char16_t high = m_high;
            m_high = 0;
            if (IsLowSurrogate(unit)) {
                const char32_t codePoint = 0x10000 + ((high - 0xD800u) << 10 | (unit - 0xDC00u));
                Lacks(codePoint, FourByteForm(kSupplementaryBase + (codePoint - 0x10000)));
                return;
            }
            Lacks(high, GetTables().forms[high]);
        }
        if (IsHighSurrogate(unit)) {
            m_high = unit;
            return;
        }
        if (unit == '\n' && !m_state.unencodable) ++m_state.lineBreaks;
        const Form& form = m_big5.forms[unit];
        if (form.length > 0) {
            Append(m_out, form);
        } else {
            Lacks(unit, GetTables().forms[unit]);
        }
    }

    void Escape(unsigned char byte) {
        FlushHigh();
        m_out += static_cast<char>(byte);
        m_state.asIs = true;
    }

    void FlushHigh() {
        if (m_high == 0) return;
        Lacks(m_high, GetTables().forms[m_high]);
        m_high = 0;
    }

private:
    void Lacks(char32_t codePoint, const Form& asHeld) {
        Append(m_out, asHeld);
        m_state.asIs = true;
        if (!m_state.unencodable) m_state.unencodable = Unencodable{codePoint, m_state.lineBreaks + 1};
    }

    std::string& m_out;
    EncodeState& m_state;
    const Big5Tables& m_big5;
    char16_t m_high = 0;
};

// A surrogate pair is one token of the text, so a high surrogate still
// waiting at the end of a walk is an unpaired one.
std::size_t EncodeBig5(std::string_view text, std::string& bytes, EncodeState& state, bool final) {
    Big5Sink sink(bytes, state);
    const std::size_t used = WalkText(GetTables(), text, sink, state.previous, true, final);
    sink.FlushHigh();
    return used;
}

constexpr CharsetCodec kBig5Codec = {DecodeBig5, EncodeBig5};

}  // namespace

// Offered by the save choosers only after a Big5 file was loaded (which only
// the open choosers' list or -e can name: the rule never takes a file for
// Big5, whose byte pairs are mostly GBK's too).
extern const CharsetRecord kBig5Charset = {
    Charset::kBig5,
    "big5",                    // name
    {{"cp950"}},               // aliases
    "",                        // no byte-order mark
    "Big5",                    // title
    SaveOffer::kAfterLoading,  // when the save choosers offer it
    {{{"Big5", false}}},       // their rows
    "Big5",                    // its row in the open choosers
    &kBig5Codec,               // its decoder and encoder
};

}  // namespace tornix::encodings
