// GbkString::LoadStringA, in a file of its own: only programs that load
// strings need the string table (text/string_resources.h) at link time.
#include "text/gbk_string.h"
#include "text/string_resources.h"

namespace tornix {

int GbkString::LoadStringA(unsigned id) {
    if (!FindResourceString(id, m_bytes)) m_bytes.clear();
    return m_bytes.empty() ? 0 : 1;
}

}  // namespace tornix
