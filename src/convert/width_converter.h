// WidthConverter: one direction of the width conversion, of code page 936 or
// UTF-8 text, under a conversion policy (width_policy.h) compiled once; and
// the whole-text conversions under a policy.
//
// With the default policy a converter runs the window's kernels (width.h,
// width_utf8.h) and gives their results byte for byte. Under any policy the
// UTF-8 result is the UTF-8 of the code page 936 result for the text's
// GB18030 form (transcode.h), as without one; the Unicode table's forms are
// then U+FF01 .. U+FF5E and U+3000 in UTF-8 too.
//
// Example: ConvertWidth("a,b 中,文", WidthDirection::kToFull, WidthEncoding::kUtf8,
// {WidthTableKind::kClassic, kWidthPunctuation, "", true}) gives "a,b 中，文".
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "convert/character_cuts.h"
#include "convert/width_context.h"
#include "convert/width_policy.h"

namespace tornix {

namespace kernels {
struct PolicyTables;
}  // namespace kernels

enum class WidthDirection { kToFull, kToHalf };

class WidthConverter {
public:
    WidthConverter(WidthDirection direction, WidthEncoding encoding, const WidthPolicy& policy = {});
    ~WidthConverter();
    WidthConverter(WidthConverter&&) noexcept;
    WidthConverter& operator=(WidthConverter&&) noexcept;

    // Room that Into() may use for a text of `size` bytes, or for `text`.
    std::size_t BoundForSize(std::size_t size) const;
    std::size_t Bound(std::string_view text) const;

    // Converts `text`, which begins and ends on character boundaries, into
    // `out` (room for a bound above) and returns the end of the bytes
    // written. `edges` says what stands beyond its ends; only a policy with
    // context reads it. Converting a text piece by piece, each with its
    // edges, gives the whole-text result where, besides, no cut falls inside
    // a run of spaces to full width.
    char* Into(std::string_view text, char* out, ContextEdges edges = {}) const;

    // Whether punctuation converts by context under this converter's policy.
    bool byContext() const;
    WidthDirection direction() const { return m_direction; }
    WidthEncoding encoding() const { return m_encoding; }

private:
    WidthDirection m_direction;
    WidthEncoding m_encoding;
    std::unique_ptr<const kernels::PolicyTables> m_policy;  // null: the window's conversion
};

// The whole-text conversion of `text` under `policy`.
[[nodiscard]] std::string ConvertWidth(std::string_view text, WidthDirection direction, WidthEncoding encoding,
                                       const WidthPolicy& policy);

}  // namespace tornix
