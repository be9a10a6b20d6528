// The program's string table as data: code page 936 bytes by resource id.
// The Windows build compiles it into the module's string table (see
// generator/generate_rc.cpp); elsewhere the text value's LoadStringA reads
// it straight from here.
#pragma once

namespace tornix {

struct ResourceString {
    unsigned id;
    const char* text;  // code page 936 bytes
};

// The entries in id order: [StringTableBegin(), StringTableEnd()).
const ResourceString* StringTableBegin();
const ResourceString* StringTableEnd();

}  // namespace tornix
