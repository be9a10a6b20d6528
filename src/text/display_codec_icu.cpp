// The text layer's platform forms from ICU: "windows-936-2000" (Windows' code
// page 936 table) and "gb18030" for the display codec, both with round-trip
// mappings only, and "windows-950-2000" (Windows' code page 950) for Big5
// files.
#include <unicode/ucnv.h>

#include <memory>

#include "text/display_codec_backend.h"

namespace tornix::display_codec_backend {
namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// A converter without fallbacks that stops at the first character it cannot
// map, so that a failure is seen instead of a substitute.
Converter OpenStrict(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) return nullptr;
    ucnv_setFallback(converter.get(), false);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status)) return nullptr;
    return converter;
}

// The bytes of one code point; 0 when the converter has no mapping for it.
// ICU still applies private-use fallbacks here, so callers decode the bytes
// again before trusting them.
int EncodeCodePoint(UConverter* converter, char16_t codePoint, char (&bytes)[8]) {
    UErrorCode status = U_ZERO_ERROR;
    const UChar source = codePoint;
    const int length = ucnv_fromUChars(converter, bytes, sizeof bytes, &source, 1, &status);
    return U_SUCCESS(status) ? length : 0;
}

bool DecodesTo(UConverter* converter, const char* bytes, int length, char16_t codePoint) {
    UErrorCode status = U_ZERO_ERROR;
    UChar decoded[4];
    const int count = ucnv_toUChars(converter, decoded, 4, bytes, length, &status);
    return U_SUCCESS(status) && count == 1 && decoded[0] == codePoint;
}

unsigned Byte(const char* bytes, int i) {
    return static_cast<unsigned char>(bytes[i]);
}

// The one code point that `bytes` decode to, or 0.
char16_t DecodedUnit(UConverter* converter, const char* bytes, int length) {
    UErrorCode status = U_ZERO_ERROR;
    UChar decoded[4];
    ucnv_reset(converter);
    const int count = ucnv_toUChars(converter, decoded, 4, bytes, length, &status);
    return U_SUCCESS(status) && count == 1 ? decoded[0] : 0;
}

std::uint16_t CodePageForm(UConverter* codePage, char16_t codePoint) {
    char bytes[8];
    const int length = EncodeCodePoint(codePage, codePoint, bytes);
    if ((length != 1 && length != 2) || !DecodesTo(codePage, bytes, length, codePoint)) return kNoCodePageForm;
    return static_cast<std::uint16_t>(length == 1 ? Byte(bytes, 0) : Byte(bytes, 0) << 8 | Byte(bytes, 1));
}

std::uint32_t FourByteForm(UConverter* gb18030, char16_t codePoint) {
    char bytes[8];
    const int length = EncodeCodePoint(gb18030, codePoint, bytes);
    const std::uint32_t linear = FourByteLinearIndex(bytes, length);
    if (linear == kNoFourByteForm || !DecodesTo(gb18030, bytes, 4, codePoint)) return kNoFourByteForm;
    return linear;
}

}  // namespace

bool LoadPlatformForms(PlatformForms& forms) {
    const Converter codePage = OpenStrict("windows-936-2000");
    const Converter gb18030 = OpenStrict("gb18030");
    if (!codePage || !gb18030) return false;
    forms.codePage936.assign(kUnitCount, kNoCodePageForm);
    forms.gb18030FourByte.assign(kUnitCount, kNoFourByteForm);
    for (std::size_t index = 0; index < kUnitCount; ++index) {
        const auto codePoint = static_cast<char16_t>(index);
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) continue;
        forms.codePage936[index] = CodePageForm(codePage.get(), codePoint);
        forms.gb18030FourByte[index] = FourByteForm(gb18030.get(), codePoint);
    }
    return true;
}

bool LoadCodePage950(CodePage950Forms& forms) {
    const Converter codePage = OpenStrict("windows-950-2000");
    if (!codePage) return false;
    forms.decoded.assign(kTwoByteCodes, 0);
    forms.encoded.assign(kUnitCount, kNoCodePageForm);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            forms.decoded[(lead - 0x81) * 256 + trail] = DecodedUnit(codePage.get(), bytes, 2);
        }
    }
    for (std::size_t index = 0; index < kUnitCount; ++index) {
        const auto codePoint = static_cast<char16_t>(index);
        if (codePoint < 0xD800 || codePoint > 0xDFFF) forms.encoded[index] = CodePageForm(codePage.get(), codePoint);
    }
    return true;
}

}  // namespace tornix::display_codec_backend
