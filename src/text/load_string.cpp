// GbkString::LoadStringA, in a file of its own: only programs that load
// strings need the string table (text/string_resources.h) at link time.
#include "text/gbk_string.h"
#include "text/string_resources.h"

namespace tornix {

int GbkString::LoadStringA(unsigned id) {
    const char* found = FindResourceString(id);
    m_bytes.assign(found ? found : "");
    return found && *found ? 1 : 0;
}

}  // namespace tornix
