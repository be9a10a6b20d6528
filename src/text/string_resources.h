// The program's string table, as the text value's LoadStringA reads it. The
// resource layer (src/res) defines it; every program that loads strings links
// that layer, so the text layer itself depends on no resource.
#pragma once

namespace tornix {

// The code page 936 bytes of string `id`, or nullptr when the table has none.
const char* FindResourceString(unsigned id);

}  // namespace tornix
