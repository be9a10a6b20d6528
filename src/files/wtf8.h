// WTF-8: UTF-8 that also carries unpaired surrogates, each as the three bytes
// that UTF-8 would give its code point (U+D800 is ED A0 80). Windows file
// names are UTF-16 that need not be valid, so the command line hands them on
// as WTF-8 and every name, however odd, comes back to the file it named.
//
// Example: Utf16FromWtf8(Wtf8FromUtf16(u"a\xD800" "b")) == u"a\xD800" "b".
#pragma once

#include <string>
#include <string_view>

namespace tornix {

std::string Wtf8FromUtf16(std::u16string_view text);

// Bytes that are neither UTF-8 nor a surrogate's three bytes become U+FFFD;
// a pair of surrogates written as two three-byte forms joins into one
// character again.
std::u16string Utf16FromWtf8(std::string_view bytes);

}  // namespace tornix
