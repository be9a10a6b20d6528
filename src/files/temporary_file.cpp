#include "files/temporary_file.h"

#include <algorithm>
#include <memory>

namespace tornix {
namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 20;

}  // namespace

int TemporaryFile::Create() {
    return m_file.IsOpen() ? 0 : fs_os::CreateUnnamedTemp(m_file);
}

int TemporaryFile::Append(std::string_view bytes) {
    if (bytes.empty()) return 0;
    if (int code = Create()) return code;
    if (int code = fs_os::WriteAllAt(m_file, m_size, bytes.data(), bytes.size())) return code;
    m_size += bytes.size();
    return 0;
}

int TemporaryFile::ReadBack(const Take& take) const {
    if (m_size == 0) return 0;
    const std::size_t blockSize = static_cast<std::size_t>(std::min<std::uint64_t>(m_size, kReadBlock));
    const std::unique_ptr<char[]> block(new char[blockSize]);
    for (std::uint64_t offset = 0; offset < m_size;) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(m_size - offset, blockSize));
        std::size_t got = 0;
        if (int code = fs_os::ReadSomeAt(m_file, offset, block.get(), wanted, got)) return code;
        if (got == 0) return fs_os::EndOfFileError();
        if (int code = take(std::string_view(block.get(), got))) return code;
        offset += got;
    }
    return 0;
}

void TemporaryFile::Clear() noexcept {
    if (m_size == 0) return;
    m_size = 0;
    (void)fs_os::SetLength(m_file, 0);
}

}  // namespace tornix
