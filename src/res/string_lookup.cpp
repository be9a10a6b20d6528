// The text value's string lookup where strings are not module resources:
// straight from the string table's data.
#include "res/string_table.h"
#include "text/string_resources.h"

namespace tornix {

bool FindResourceString(unsigned id, std::string& text) {
    for (const ResourceString* entry = StringTableBegin(); entry != StringTableEnd(); ++entry) {
        if (entry->id == id) {
            text.assign(entry->text);
            return true;
        }
    }
    return false;
}

}  // namespace tornix
