// The program's string table, compiled in: GBK bytes by resource id.
#include "res/resource.h"
#include "text/string_resources.h"

namespace tornix {

namespace {

struct ResourceString {
    unsigned id;
    const char* text;  // code page 936 bytes
};

constexpr ResourceString kStringTable[] = {
    {IDS_ABOUT_MENU, "\xB9\xD8\xD3\xDA(&A)..."},  // 关于(&A)...
};

}  // namespace

const char* FindResourceString(unsigned id) {
    for (const ResourceString& entry : kStringTable) {
        if (entry.id == id) return entry.text;
    }
    return nullptr;
}

}  // namespace tornix
