// The program's string table, by resource id.
#include "res/string_table.h"

#include <iterator>

#include "res/resource.h"

namespace tornix {

namespace {

constexpr ResourceString kStringTable[] = {
    {IDS_ABOUT_MENU, "\xB9\xD8\xD3\xDA(&A)..."},  // 关于(&A)...
};

}  // namespace

const ResourceString* StringTableBegin() {
    return std::begin(kStringTable);
}

const ResourceString* StringTableEnd() {
    return std::end(kStringTable);
}

}  // namespace tornix
