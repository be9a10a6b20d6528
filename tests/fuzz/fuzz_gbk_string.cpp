// Replace, TrimLeft and TrimRight against naive models written from their
// definitions. Input layout: text 0xF0 old 0xF0 new (missing parts are empty).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/naive_text.h"
#include "text/gbk_string.h"

namespace {

std::string_view NextField(std::string_view& rest) {
    const std::size_t cut = rest.find('\xF0');
    const std::string_view field = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    return field;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view text = NextField(rest);
    const std::string_view oldText = NextField(rest);
    const std::string_view newText = NextField(rest);

    GbkString replaced(text);
    int expectedCount = 0;
    const std::string expected = testing::NaiveReplace(text, oldText, newText, &expectedCount);
    Check(replaced.Replace(oldText, newText) == expectedCount);
    Check(replaced.view() == expected);

    GbkString left(text), right(text);
    left.TrimLeft();
    right.TrimRight();
    Check(left.view() == testing::NaiveTrimLeft(text));
    Check(right.view() == testing::NaiveTrimRight(text));
    return 0;
}
