#include "cli/output.h"

#include "cli/convert_command.h"
#include "cli/messages.h"

namespace tornix {

Output::Output(const ConvertRequest& request, fs_os::NativeHandle standardOutput) : m_standardOutput(standardOutput) {
    // /dev/stdout is standard output, as "-" is, whatever it leads to.
    if (request.output && fs_os::DescriptorNamed(PathOf(*request.output)) != fs_os::StandardOutput()) {
        m_name = *request.output;
        m_file = std::make_unique<SafeFileWriter>(PathOf(*request.output), SpecialTarget::kWriteThrough);
    }
}

bool Output::Open() {
    if (!m_file) {
        fs_os::FileIdentity identity;
        const bool known = fs_os::Identify(fs_os::FileHandle::Borrow(m_standardOutput), identity) == 0;
        if (known && identity.regular) m_standardOutputFile = identity;
        return true;
    }
    if (m_file->Open() == WriteStatus::kOk) return true;
    m_error = m_file->LastError();
    return false;
}

bool Output::IsStandardOutput(const fs_os::FileHandle& input) const {
    fs_os::FileIdentity identity;
    return m_standardOutputFile && fs_os::Identify(input, identity) == 0 &&
           identity.device == m_standardOutputFile->device && identity.index == m_standardOutputFile->index;
}

bool Output::Write(std::string_view bytes) {
    if (m_file) {
        if (m_file->Write(bytes)) return true;
        m_error = m_file->LastError();
        return false;
    }
    m_error = WriteTo(m_standardOutput, bytes);
    return m_error == 0;
}

bool Output::Commit() {
    if (!m_file) return true;
    if (m_file->Commit() == WriteStatus::kOk) return true;
    m_error = m_file->LastError();
    return false;
}

int Output::Failed(fs_os::NativeHandle errors) const {
    if (!m_file && fs_os::IsBrokenPipeError(m_error)) return kExitBrokenPipe;
    const std::string line = m_file ? Message("cannot write " + Quoted(m_name), SaveFailure(*m_file))
                                    : Message("cannot write standard output", Reason(m_error));
    (void)WriteTo(errors, line);
    return kExitFileError;
}

}  // namespace tornix
