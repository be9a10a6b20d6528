#include "convert/width_converter.h"

#include "convert/width.h"
#include "convert/width_utf8.h"
#include "kernels/policy_tables.h"
#include "kernels/width_kernels.h"
#include "text/gbk_string.h"

namespace tornix {

namespace {

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The bytes that may grow to full width: the printable ones, and the space
// where each one becomes U+3000.
std::size_t Growing(std::string_view text, const kernels::PolicyTables& policy) {
    const bool spaces = policy.fullSpaces == kernels::SpaceRule::kSingles;
    return kernels::ActiveKernels().countInRange(Bytes(text), text.size(), spaces ? 0x20 : 0x21, spaces ? 0x5E : 0x5D);
}

// The policy as it acts in one direction: to full width only its kept
// single-byte characters can matter, to half width only its kept two-byte
// ones. A policy that is then the window's runs the window's kernels, so
// that keeping Chinese punctuation costs nothing to full width.
WidthPolicy InDirection(WidthPolicy policy, WidthDirection direction) {
    std::string keep;
    for (std::size_t i = 0; i < policy.keep.size();) {
        const bool pair = IsLeadByte(static_cast<unsigned char>(policy.keep[i])) && i + 1 < policy.keep.size();
        if (pair != (direction == WidthDirection::kToFull)) keep.append(policy.keep, i, pair ? 2 : 1);
        i += pair ? 2 : 1;
    }
    policy.keep = std::move(keep);
    return policy;
}

}  // namespace

WidthConverter::WidthConverter(WidthDirection direction, WidthEncoding encoding, const WidthPolicy& policy)
    : m_direction(direction), m_encoding(encoding) {
    const WidthPolicy acting = InDirection(policy, direction);
    if (!acting.IsDefault()) m_policy = std::make_unique<const kernels::PolicyTables>(kernels::CompilePolicy(acting));
}

WidthConverter::~WidthConverter() = default;
WidthConverter::WidthConverter(WidthConverter&&) noexcept = default;
WidthConverter& WidthConverter::operator=(WidthConverter&&) noexcept = default;

bool WidthConverter::byContext() const {
    return m_policy != nullptr && m_policy->context;
}

// A policy converts a subset of the table's characters, to forms no longer
// than the window's, except the Unicode table's single spaces to full width.
std::size_t WidthConverter::BoundForSize(std::size_t size) const {
    const bool full = m_direction == WidthDirection::kToFull;
    if (m_encoding == WidthEncoding::kUtf8) {
        return full ? ToFullWidthUtf8BoundForSize(size) : ToHalfWidthUtf8BoundForSize(size);
    }
    return full ? ToFullWidthBoundForSize(size) : ToHalfWidthBoundForSize(size);
}

std::size_t WidthConverter::Bound(std::string_view text) const {
    const bool full = m_direction == WidthDirection::kToFull;
    const bool utf8 = m_encoding == WidthEncoding::kUtf8;
    if (m_policy == nullptr || !full) {
        if (utf8) return full ? ToFullWidthUtf8Bound(text) : ToHalfWidthUtf8Bound(text);
        return full ? ToFullWidthBound(text) : ToHalfWidthBound(text);
    }
    return text.size() + (utf8 ? 2 : 1) * Growing(text, *m_policy) + kernels::kSlack;
}

char* WidthConverter::Into(std::string_view text, char* out, ContextEdges edges) const {
    const bool full = m_direction == WidthDirection::kToFull;
    const bool utf8 = m_encoding == WidthEncoding::kUtf8;
    if (m_policy == nullptr) {
        if (utf8) return full ? ToFullWidthUtf8Into(text, out) : ToHalfWidthUtf8Into(text, out);
        return full ? ToFullWidthInto(text, out) : ToHalfWidthInto(text, out);
    }
    const kernels::KernelTable& kernels = kernels::ActiveKernels();
    const kernels::PolicyKernel kernel = utf8 ? (full ? kernels.toFullWidthUtf8Policy : kernels.toHalfWidthUtf8Policy)
                                              : (full ? kernels.toFullWidthPolicy : kernels.toHalfWidthPolicy);
    return kernel(Bytes(text), text.size(), out, *m_policy, edges);
}

std::string ConvertWidth(std::string_view text, WidthDirection direction, WidthEncoding encoding,
                         const WidthPolicy& policy) {
    const WidthConverter converter(direction, encoding, policy);
    std::string result(converter.Bound(text), '\0');
    char* const end = converter.Into(text, result.data());
    result.resize(static_cast<std::size_t>(end - result.data()));
    return result;
}

}  // namespace tornix
