// Finds the first byte that is no part of a valid UTF-8 character (strict,
// as text/encoding.h has it) in text that arrives piece by piece, at the speed
// of the width kernels: the check runs in the tier they run in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tornix {

class Utf8Validator {
public:
    void Check(std::string_view piece);
    // The end of the text: a character still cut short is invalid.
    void Finish();
    // Its offset among all bytes checked.
    std::optional<std::uint64_t> firstInvalid() const { return m_firstInvalid; }

private:
    std::string m_carry;         // a character that the last piece cut short
    std::uint64_t m_offset = 0;  // where m_carry (or the next piece) begins
    std::optional<std::uint64_t> m_firstInvalid;
};

}  // namespace tornix
