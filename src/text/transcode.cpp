// The decoders and encoders of transcode.h, each character set's from its
// record (the encodings' own files, encodings/): what is shared here is the
// character that one piece cuts short and the next completes.
#include "text/transcode.h"

#include <algorithm>
#include <memory>

#include "encodings/codec.h"

namespace tornix {

using encodings::kLongestCharacter;

std::string CharacterText(const Unencodable& lacked) {
    codec::Form form{};
    if (lacked.codePoint >= 0x10000) {
        form = codec::FourByteForm(codec::kSupplementaryBase + (lacked.codePoint - 0x10000));
    } else if (!codec::IsSurrogate(lacked.codePoint)) {
        form = codec::GetTables().forms[lacked.codePoint];
    }
    return std::string(reinterpret_cast<const char*>(form.bytes), form.length);
}

class TextDecoder::Impl {
public:
    explicit Impl(Charset charset) : m_codec(*RecordOf(charset).codec) {}

    void Decode(std::string_view bytes, std::string& text, bool final) {
        if (!m_carry.empty()) {
            // Complete the character that the last piece cut short.
            const std::size_t take = std::min(bytes.size(), kLongestCharacter);
            const std::string joined = m_carry + std::string(bytes.substr(0, take));
            const bool last = final && take == bytes.size();
            const std::size_t used = m_codec.decode(joined, text, m_offset, last, m_state);
            if (used < m_carry.size()) {  // still cut short: all of `bytes` is in `joined`
                m_carry = joined.substr(used);
                m_offset += used;
                return;
            }
            bytes.remove_prefix(used - m_carry.size());
            m_offset += used;
            m_carry.clear();
        }
        const std::size_t used = m_codec.decode(bytes, text, m_offset, final, m_state);
        m_carry.assign(bytes.substr(used));
        m_offset += used;
    }

    std::optional<std::uint64_t> firstInvalid() const { return m_state.firstInvalid; }

private:
    const CharsetCodec& m_codec;
    encodings::DecodeState m_state;
    std::string m_carry;  // a character cut short by the last piece
    std::uint64_t m_offset = 0;
};

TextDecoder::TextDecoder(Charset charset) : m_impl(std::make_unique<Impl>(charset)) {}
TextDecoder::~TextDecoder() = default;
TextDecoder::TextDecoder(TextDecoder&&) noexcept = default;
TextDecoder& TextDecoder::operator=(TextDecoder&&) noexcept = default;

void TextDecoder::Decode(std::string_view bytes, std::string& text) {
    m_impl->Decode(bytes, text, false);
}

void TextDecoder::Finish(std::string& text) {
    m_impl->Decode({}, text, true);
}

std::optional<std::uint64_t> TextDecoder::firstInvalid() const {
    return m_impl->firstInvalid();
}

class TextEncoder::Impl {
public:
    explicit Impl(Charset charset) : m_codec(*RecordOf(charset).codec) {}

    void Encode(std::string_view text, std::string& bytes, bool final) {
        if (!m_carry.empty()) {
            const std::size_t take = std::min(text.size(), kLongestCharacter);
            const std::string joined = m_carry + std::string(text.substr(0, take));
            const std::size_t used = m_codec.encode(joined, bytes, m_state, final && take == text.size());
            if (used < m_carry.size()) {
                m_carry = joined.substr(used);
                return;
            }
            text.remove_prefix(used - m_carry.size());
            m_carry.clear();
        }
        const std::size_t used = m_codec.encode(text, bytes, m_state, final);
        m_carry.assign(text.substr(used));
    }

    bool asIs() const { return m_state.asIs; }
    std::optional<Unencodable> unencodable() const { return m_state.unencodable; }

private:
    const CharsetCodec& m_codec;
    encodings::EncodeState m_state;
    std::string m_carry;  // a token that the last piece cut short
};

TextEncoder::TextEncoder(Charset charset) : m_impl(std::make_unique<Impl>(charset)) {}
TextEncoder::~TextEncoder() = default;
TextEncoder::TextEncoder(TextEncoder&&) noexcept = default;
TextEncoder& TextEncoder::operator=(TextEncoder&&) noexcept = default;

void TextEncoder::Encode(std::string_view text, std::string& bytes) {
    m_impl->Encode(text, bytes, false);
}

void TextEncoder::Finish(std::string& bytes) {
    m_impl->Encode({}, bytes, true);
}

bool TextEncoder::wroteBytesAsTheyAre() const {
    return m_impl->asIs();
}

std::optional<Unencodable> TextEncoder::firstUnencodable() const {
    return m_impl->unencodable();
}

std::string DecodeText(std::string_view bytes, FileEncoding encoding) {
    if (encoding.charset == Charset::kGbk) return std::string(bytes);
    const std::string_view mark = ByteOrderMark(encoding.charset);
    if (encoding.byteOrderMark && bytes.substr(0, mark.size()) == mark) bytes.remove_prefix(mark.size());
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 4);
    TextDecoder decoder(encoding.charset);
    decoder.Decode(bytes, text);
    decoder.Finish(text);
    return text;
}

std::string EncodeText(std::string_view text, FileEncoding encoding) {
    if (encoding.charset == Charset::kGbk) return std::string(text);
    std::string bytes;
    if (encoding.byteOrderMark) bytes = ByteOrderMark(encoding.charset);
    bytes.reserve(bytes.size() + text.size() * 2);
    TextEncoder encoder(encoding.charset);
    encoder.Encode(text, bytes);
    encoder.Finish(bytes);
    return bytes;
}

}  // namespace tornix
