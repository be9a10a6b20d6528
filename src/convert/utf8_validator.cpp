#include "convert/utf8_validator.h"

#include "kernels/width_kernels.h"
#include "text/encoding.h"

namespace tornix {
namespace {

Utf8Scan CheckBytes(std::string_view bytes) {
    return kernels::ActiveKernels().checkUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

}  // namespace

void Utf8Validator::Check(std::string_view piece) {
    if (m_firstInvalid) return;
    if (!m_carry.empty()) {  // complete the character the last piece cut short
        const std::string joined = m_carry + std::string(piece.substr(0, 4));
        const Utf8Scan scan = CheckBytes(joined);
        if (!scan.valid) {
            m_firstInvalid = m_offset + scan.validLength;
            return;
        }
        if (scan.validLength < m_carry.size()) {  // still cut: all of the piece is in `joined`
            m_carry = joined;
            return;
        }
        piece.remove_prefix(scan.validLength - m_carry.size());
        m_offset += scan.validLength;
        m_carry.clear();
    }
    const Utf8Scan scan = CheckBytes(piece);
    if (!scan.valid) {
        m_firstInvalid = m_offset + scan.validLength;
        return;
    }
    m_carry.assign(piece.substr(scan.validLength));
    m_offset += scan.validLength;
}

void Utf8Validator::Finish() {
    if (!m_firstInvalid && !m_carry.empty()) m_firstInvalid = m_offset;
}

}  // namespace tornix
