// Where a conversion with one output writes: standard output, or the file of
// -o, replaced only when everything went well (a FIFO, a device or a name of
// one of the program's descriptors is written straight through).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "cli/pipeline.h"
#include "files/file_system.h"
#include "files/safe_writer.h"

namespace tornix {

class Output : public ByteSink {
public:
    Output(const ConvertRequest& request, fs_os::NativeHandle standardOutput);

    bool Open();
    bool Write(std::string_view bytes) override;
    bool Commit();

    // True when `input` is the regular file that standard output appends to:
    // reading it would never end, as the output makes it grow.
    bool IsStandardOutput(const fs_os::FileHandle& input) const;

    // Says why the output failed on `errors`; the exit status for it.
    int Failed(fs_os::NativeHandle errors) const;

private:
    fs_os::NativeHandle m_standardOutput;
    std::string m_name;
    std::unique_ptr<SafeFileWriter> m_file;
    std::optional<fs_os::FileIdentity> m_standardOutputFile;  // standard output, when it is a regular file
    int m_error = 0;
};

}  // namespace tornix
