// The display codec: the lossless conversion between the program's code page
// 936 (GBK) byte strings and the UTF-16 texts that the window layers show.
//
//   DecodeForDisplay(EncodeFromDisplay(text)) == text   for every UTF-16 text
//                                                        without U+FDD0..U+FDEF
//   EncodeFromDisplay(DecodeForDisplay(bytes)) == bytes  for every byte string
//
// and a character that code page 936 holds has the bytes Windows gives it
// (0x80 <-> U+20AC, 0xA140 <-> U+E4C6, 0xFF <-> U+F8F5). Line breaks pass
// through as they are.
//
// Decoding walks the bytes along the text value's character boundaries (a
// lead byte 0x81..0xFE takes the byte after it, whatever it is) and reads
// each step as a token of one, two or four bytes. A token is shown as a
// character only when encoding that character, right after what has been
// decoded before it, gives back exactly the token's bytes:
//   - one byte (0x00..0x80, 0xFF) or two bytes: the code page 936 character,
//     if the code page maps it both ways (one-way mappings are not accepted);
//   - four bytes lead, 0x30..0x39, lead, 0x30..0x39 (a character of the code
//     page never has a digit as its second byte):
//       * the GB18030 four-byte form of a character that code page 936 cannot
//         hold: 😀 is 94 39 FC 36, 𠀀 is 95 32 82 36, U+FFFD is 84 31 A4 37;
//       * a carrier: a UTF-16 unit u that has no such exact form (an unpaired
//         surrogate, or one of the few characters that GB18030 gives a
//         two-byte form differing from code page 936's) travels as the
//         four-byte sequence with GB18030 linear index 39420 + u, a range
//         that GB18030 leaves unassigned (84 31 A5 30 onwards). A lone low
//         surrogate is not accepted right after a lone high one: the two
//         would be read back as one pair.
// Every byte of a token that is not accepted (a lead byte at the very end,
// a lead byte with a trail that gives no accepted character, both bytes of
// such a pair) is shown as two Unicode noncharacters:
//   U+FDD0 + (byte >> 4), U+FDE0 + (byte & 0x0F)
// and encoding turns such a pair back into the raw byte. So 0x81 0x7F shows
// as U+FDD8 U+FDE1 U+FDD7 U+FDEF.
//
// The one exception to the text round trip: U+FDD0..U+FDEF are reserved for
// this escape. A lone one travels as its GB18030 four-byte form and comes
// back unchanged, but a pair U+FDDx U+FDEy in a text always encodes to the
// single byte 0xxy, which decodes as whatever that byte is: U+FDD4 U+FDE1
// comes back as «A», and an escaped lead byte followed by text can join that
// text into one character (U+FDD8 U+FDE1 «@» comes back as 丂, 0x81 0x40).
// Nothing around such a pair is lost, and the bytes stay stable from then
// on. A four-byte U+FDE0..U+FDEF right after a four-byte U+FDD0..U+FDDF is
// not accepted when decoding, for the same reason as the surrogates.
//
// Both functions only allocate their result: they throw std::bad_alloc when
// memory runs out, and nothing else. The first call asks the platform's
// converters for the tables once (about 10 ms).
//
// The width conversions and the trims never touch a four-byte form: on the
// text value's character boundaries it is two two-byte characters whose
// second bytes are digits, and no width table entry or white space is such a
// character.
#pragma once

#include <string>
#include <string_view>

namespace tornix {

// False when the platform has no code page 936 or GB18030 converter. Both
// round trips still hold then, but every byte outside ASCII shows escaped, so
// the program cannot show Chinese text; it checks this when it starts.
[[nodiscard]] bool DisplayCodecAvailable();

// GBK bytes to the UTF-16 text that a window shows.
std::u16string DecodeForDisplay(std::string_view gbk);

// The UTF-16 text of a window back to GBK bytes.
std::string EncodeFromDisplay(std::u16string_view text);

}  // namespace tornix
