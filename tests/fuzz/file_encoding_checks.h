// What every file encoding's fuzz target checks on any bytes, read as a file
// in `charset` (after any byte-order mark), and aborts on the first broken:
//  - the bytes decode to one text whether they come whole or in pieces, with
//    the same first invalid byte, and that text encodes back to exactly the
//    bytes, whole or in pieces: nothing is lost;
//  - a text with an invalid byte is reported as written with bytes as they are;
//  - the text and both its conversions, saved in any character set that can
//    hold them (a Big5 save refuses a character Big5 lacks), decode from
//    there to the same text where no byte was written as it is, and what was
//    saved comes back byte for byte;
//  - valid bytes convert as the UTF-8 kernels define it: through the
//    program's text, the GB18030 form of the characters (convert/width_utf8.h).
// A target per encoding file calls it with each character set it holds.
#pragma once

#include <string_view>

#include "text/encoding.h"

namespace tornix::testing {

void CheckFileEncoding(Charset charset, std::string_view bytes);

}  // namespace tornix::testing
