// The Big5 decoder and encoder (code page 950) on any bytes. The input's
// first byte says where to cut the rest in two; the rest, decoded whole:
//   - gives the same text decoded in those two pieces;
//   - encoded in Big5 again, gives the bytes back, but for the ten codes that
//     code page 950 reads one way only, which come back as it writes their
//     characters (the same length), and never meets a character Big5 lacks;
//   - read by ICU's windows-950-2000 as well: ICU finds it valid Big5 exactly
//     when the decoder keeps no byte, and then the text is ICU's characters
//     in the program's forms (the GB18030 route, EncodeFromDisplay).
#include <unicode/ucnv.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "text/display_codec.h"
#include "text/transcode.h"

namespace {

using tornix::Charset;

// The codes that decode to a character written with another code, and that code.
constexpr const char* kOneWay[][2] = {
    {"\xA2\xA4", "\xF9\xF9"}, {"\xA2\xA5", "\xF9\xE9"}, {"\xA2\xA6", "\xF9\xEA"}, {"\xA2\xA7", "\xF9\xEB"},
    {"\xF9\xFA", "\xA2\x7E"}, {"\xF9\xFB", "\xA2\xA1"}, {"\xF9\xFC", "\xA2\xA2"}, {"\xF9\xFD", "\xA2\xA3"},
    {"\xA2\xCC", "\xA4\x51"}, {"\xA2\xCE", "\xA4\xCA"},
};

// `written` is `read` but where a one-way code of `read` became its written form.
bool SameButOneWayCodes(std::string_view read, std::string_view written) {
    if (read.size() != written.size()) return false;
    for (std::size_t at = 0; at < read.size();) {
        if (read[at] == written[at]) {
            ++at;
            continue;
        }
        bool known = false;
        for (const auto& code : kOneWay) {
            known = known || (read.substr(at, 2) == code[0] && written.substr(at, 2) == code[1]);
        }
        if (!known) return false;
        at += 2;
    }
    return true;
}

// ICU's characters for `bytes`, or false when it finds them no valid Big5.
bool IcuReads(std::string_view bytes, std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-950-2000", &status);
    if (U_FAILURE(status)) std::abort();
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    text.assign(bytes.size() + 1, u'\0');
    const int length = ucnv_toUChars(converter, text.data(), static_cast<int32_t>(text.size()), bytes.data(),
                                     static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status)) return false;
    text.resize(static_cast<std::size_t>(length));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = data[0] % (bytes.size() + 1);

    tornix::TextDecoder whole(Charset::kBig5);
    std::string text;
    whole.Decode(bytes, text);
    whole.Finish(text);
    tornix::TextDecoder pieces(Charset::kBig5);
    std::string pieced;
    pieces.Decode(bytes.substr(0, cut), pieced);
    pieces.Decode(bytes.substr(cut), pieced);
    pieces.Finish(pieced);
    if (pieced != text || pieces.firstInvalid() != whole.firstInvalid()) std::abort();

    tornix::TextEncoder encoder(Charset::kBig5);
    std::string written;
    encoder.Encode(text, written);
    encoder.Finish(written);
    if (encoder.firstUnencodable() || !SameButOneWayCodes(bytes, written)) std::abort();

    std::u16string icu;
    const bool valid = IcuReads(bytes, icu);
    if (valid != !whole.firstInvalid().has_value()) std::abort();
    if (valid && tornix::EncodeFromDisplay(icu) != text) std::abort();
    return 0;
}
