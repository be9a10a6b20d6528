#include "files/safe_writer.h"

namespace tornix {

class SafeFileWriter::Impl {
public:
    std::filesystem::path target;
    int error = 0;
};

SafeFileWriter::SafeFileWriter(std::filesystem::path target) : m_impl(std::make_unique<Impl>()) {
    m_impl->target = std::move(target);
}
SafeFileWriter::~SafeFileWriter() = default;
WriteStatus SafeFileWriter::Open() { return WriteStatus::kCannotCreate; }
bool SafeFileWriter::Write(std::string_view) { return false; }
WriteStatus SafeFileWriter::Commit() { return WriteStatus::kWriteFailed; }
int SafeFileWriter::LastError() const { return m_impl->error; }
const std::filesystem::path& SafeFileWriter::ResolvedTarget() const { return m_impl->target; }
bool SafeFileWriter::WritesInPlace() const { return false; }

}  // namespace tornix
