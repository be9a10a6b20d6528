// The program's string table, compiled in: GBK bytes by resource id.
#pragma once

namespace tornix {

// The string with this id, or nullptr when the table has none.
const char* FindResourceString(unsigned id);

}  // namespace tornix
