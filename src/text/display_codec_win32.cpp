// The text layer's platform forms from Windows' own converters: code page 936
// and code page 54936 (GB18030) for the display codec, and code page 950 for
// Big5 files, all without best-fit mappings and each form checked by
// converting it back.
//
// Where the system lacks code page 54936 (Wine, for one), the GB18030
// four-byte forms are derived from code page 936: GB18030 gives a one- or
// two-byte form to the characters that code page 936 maps both ways, except
// 0x80 and 0xFF and the two-byte codes of kGb18030TwoByteChanges, which it
// gives to other characters; every other character of the Basic Multilingual
// Plane has a four-byte form, numbered in character order, with U+E7C7 taking
// the number that this order gives U+1E3F (which has the two-byte A8BC).
#include <windows.h>

#include <iterator>

#include "text/display_codec_backend.h"
#include "text/gb18030_changes.h"

namespace tornix::display_codec_backend {
namespace {

constexpr UINT kCodePage936 = 936;
constexpr UINT kCodePage950 = 950;
constexpr UINT kGb18030 = 54936;

constexpr char16_t kSwappedOut = 0x1E3F;  // two-byte A8BC in GB18030
constexpr char16_t kSwappedIn = 0xE7C7;   // takes U+1E3F's four-byte number

unsigned Byte(const char* bytes, int i) {
    return static_cast<unsigned char>(bytes[i]);
}

bool IsSurrogate(std::size_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// The bytes of one UTF-16 unit; 0 when the code page has no exact form for it.
int EncodeUnit(UINT codePage, char16_t unit, char (&bytes)[8]) {
    const wchar_t source = static_cast<wchar_t>(unit);
    BOOL usedDefault = FALSE;
    // 54936 takes neither the flag nor the default-character query.
    const bool strict = codePage != kGb18030;
    const int length = ::WideCharToMultiByte(codePage, strict ? WC_NO_BEST_FIT_CHARS : 0, &source, 1, bytes,
                                             sizeof bytes, nullptr, strict ? &usedDefault : nullptr);
    return usedDefault ? 0 : length;
}

int DecodeUnit(UINT codePage, const char* bytes, int length) {  // the one unit, or -1
    wchar_t decoded[4];
    const int count = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, length, decoded, 4);
    return count == 1 ? static_cast<int>(static_cast<char16_t>(decoded[0])) : -1;
}

std::uint16_t CodePageForm(UINT codePage, char16_t unit) {
    char bytes[8];
    const int length = EncodeUnit(codePage, unit, bytes);
    if ((length != 1 && length != 2) || DecodeUnit(codePage, bytes, length) != unit) return kNoCodePageForm;
    return static_cast<std::uint16_t>(length == 1 ? Byte(bytes, 0) : Byte(bytes, 0) << 8 | Byte(bytes, 1));
}

std::uint32_t NativeFourByteForm(char16_t unit) {
    char bytes[8];
    const int length = EncodeUnit(kGb18030, unit, bytes);
    const std::uint32_t linear = FourByteLinearIndex(bytes, length);
    if (linear == kNoFourByteForm || DecodeUnit(kGb18030, bytes, 4) != unit) return kNoFourByteForm;
    return linear;
}

// Windows' code page 936 maps the byte 0xFF and U+F8F5 to each other; some
// implementations of it (Wine's) leave both unmapped. The program gives them
// Windows' mapping wherever it runs.
void AddWindowsByteFF(PlatformForms& forms) {
    constexpr char16_t kPrivateUseFF = 0xF8F5;
    for (const std::uint16_t form : forms.codePage936) {
        if (form == 0xFF) return;
    }
    if (forms.codePage936[kPrivateUseFF] == kNoCodePageForm) forms.codePage936[kPrivateUseFF] = 0xFF;
}

// GB18030's four-byte forms without code page 54936, from the code page 936
// forms already in `forms` (see the top of this file).
void DeriveFourByteForms(PlatformForms& forms) {
    std::vector<bool> hasShortForm(kUnitCount, false);
    for (std::size_t unit = 0; unit < kUnitCount; ++unit) {
        const std::uint16_t form = forms.codePage936[unit];
        hasShortForm[unit] = form != kNoCodePageForm && !(form >= 0x80 && form <= 0xFF);
    }
    for (const TwoByteChange& change : kGb18030TwoByteChanges) {
        const char bytes[2] = {static_cast<char>(change.code >> 8), static_cast<char>(change.code & 0xFF)};
        const int replaced = DecodeUnit(kCodePage936, bytes, 2);
        if (replaced >= 0) hasShortForm[static_cast<std::size_t>(replaced)] = false;
    }
    for (const TwoByteChange& change : kGb18030TwoByteChanges) hasShortForm[change.gb18030] = true;
    hasShortForm[kSwappedOut] = false;  // numbered in its old place, which U+E7C7 takes
    hasShortForm[kSwappedIn] = true;

    std::uint32_t next = 0;
    for (std::size_t unit = 0x80; unit < kUnitCount; ++unit) {
        if (IsSurrogate(unit) || hasShortForm[unit]) continue;
        forms.gb18030FourByte[unit == kSwappedOut ? kSwappedIn : unit] = next++;
    }
}

}  // namespace

bool LoadPlatformForms(PlatformForms& forms) {
    if (!::IsValidCodePage(kCodePage936)) return false;
    const bool nativeGb18030 = ::IsValidCodePage(kGb18030) != FALSE;
    forms.codePage936.assign(kUnitCount, kNoCodePageForm);
    forms.gb18030FourByte.assign(kUnitCount, kNoFourByteForm);
    for (std::size_t index = 0; index < kUnitCount; ++index) {
        if (IsSurrogate(index)) continue;
        const auto unit = static_cast<char16_t>(index);
        forms.codePage936[index] = CodePageForm(kCodePage936, unit);
        if (nativeGb18030) forms.gb18030FourByte[index] = NativeFourByteForm(unit);
    }
    AddWindowsByteFF(forms);
    if (!nativeGb18030) DeriveFourByteForms(forms);
    return true;
}

bool LoadCodePage950(CodePage950Forms& forms) {
    if (!::IsValidCodePage(kCodePage950)) return false;
    forms.decoded.assign(kTwoByteCodes, 0);
    forms.encoded.assign(kUnitCount, kNoCodePageForm);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const int unit = DecodeUnit(kCodePage950, bytes, 2);
            forms.decoded[(lead - 0x81) * 256 + trail] = unit > 0 ? static_cast<char16_t>(unit) : 0;
        }
    }
    for (std::size_t index = 0; index < kUnitCount; ++index) {
        if (!IsSurrogate(index)) forms.encoded[index] = CodePageForm(kCodePage950, static_cast<char16_t>(index));
    }
    return true;
}

}  // namespace tornix::display_codec_backend
