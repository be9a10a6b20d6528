#include "file_encoding_checks.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "convert/width.h"
#include "convert/width_utf8.h"
#include "text/transcode.h"

namespace tornix::testing {
namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Decoded {
    std::string text;
    std::optional<std::uint64_t> firstInvalid;
};

struct Encoded {
    std::string bytes;
    bool asIs = false;     // TextEncoder::wroteBytesAsTheyAre
    bool refused = false;  // a character the encoding lacks, which a save refuses
};

// Through the streaming classes, `piece` bytes of input at a time.
Decoded Decode(std::string_view bytes, Charset charset, std::size_t piece) {
    TextDecoder decoder(charset);
    Decoded decoded;
    for (std::size_t at = 0; at < bytes.size(); at += piece) decoder.Decode(bytes.substr(at, piece), decoded.text);
    decoder.Finish(decoded.text);
    decoded.firstInvalid = decoder.firstInvalid();
    return decoded;
}

Encoded Encode(std::string_view text, Charset charset, std::size_t piece) {
    TextEncoder encoder(charset);
    Encoded encoded;
    for (std::size_t at = 0; at < text.size(); at += piece) encoder.Encode(text.substr(at, piece), encoded.bytes);
    encoder.Finish(encoded.bytes);
    encoded.asIs = encoder.wroteBytesAsTheyAre();
    encoded.refused = encoder.firstUnencodable().has_value();
    return encoded;
}

// The text saved in every character set that can hold it, and loaded from
// there again.
void CheckSavedEverywhere(std::string_view text) {
    for (const CharsetRecord* record : Charsets()) {
        const Encoded saved = Encode(text, record->charset, text.size() + 1);
        if (saved.refused) continue;
        const Decoded loaded = Decode(saved.bytes, record->charset, saved.bytes.size() + 1);
        if (!saved.asIs) Check(loaded.text == text);
        // Bytes written as they are can meet their neighbours in one of
        // Big5's ten one-way codes, which a save writes in its other form
        // (fuzz_big5 checks those).
        if (saved.asIs && record->charset == Charset::kBig5) continue;
        Check(Encode(loaded.text, record->charset, loaded.text.size() + 1).bytes == saved.bytes);
    }
}

}  // namespace

void CheckFileEncoding(Charset charset, std::string_view bytes) {
    // Cuts at every place across the inputs, as the fuzzer varies their size.
    const std::size_t piece = 1 + bytes.size() % 7;
    const Decoded whole = Decode(bytes, charset, bytes.size() + 1);
    const Decoded pieced = Decode(bytes, charset, piece);
    Check(pieced.text == whole.text && pieced.firstInvalid == whole.firstInvalid);
    Check(DecodeText(bytes, {charset, false}) == whole.text);

    const Encoded back = Encode(whole.text, charset, whole.text.size() + 1);
    Check(back.bytes == bytes);
    Check(Encode(whole.text, charset, piece).bytes == bytes);
    if (whole.firstInvalid) Check(back.asIs);

    const GbkString text(whole.text);
    const GbkString full = ToFullWidth(text);
    const GbkString half = ToHalfWidth(text);
    for (const GbkString* each : {&text, &full, &half}) CheckSavedEverywhere(each->view());

    if (whole.firstInvalid) return;
    const Encoded utf8 = Encode(whole.text, Charset::kUtf8, whole.text.size() + 1);
    if (utf8.asIs) return;  // an unpaired surrogate of UTF-16, which UTF-8 cannot hold
    Check(ToFullWidthUtf8(utf8.bytes) == EncodeText(full.view(), {Charset::kUtf8, false}));
    Check(ToHalfWidthUtf8(utf8.bytes) == EncodeText(half.view(), {Charset::kUtf8, false}));
}

}  // namespace tornix::testing
