// The program's string table, as the text value's LoadStringA reads it. The
// resource layer (src/res) defines the lookup: from its data, or on Windows
// from the module's string table; every program that loads strings links
// that layer, so the text layer itself depends on no resource.
#pragma once

#include <string>

namespace tornix {

// Sets `text` to the code page 936 bytes of string `id`; false when the
// table has none.
bool FindResourceString(unsigned id, std::string& text);

}  // namespace tornix
