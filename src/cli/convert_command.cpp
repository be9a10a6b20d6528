#include "cli/convert_command.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "convert/width_stream.h"
#include "files/file_system.h"
#include "files/safe_writer.h"
#include "files/temporary_file.h"

namespace tornix {

namespace {

// Input is read in blocks of this size; the stream converts a block at a time.
constexpr std::size_t kReadSize = std::size_t{256} << 10;
constexpr std::string_view kStandardInput = "-";

// Writes all of `bytes` to a standard stream; 0 or the system's error code.
int WriteTo(fs_os::NativeHandle stream, std::string_view bytes) {
    return fs_os::WriteAll(fs_os::FileHandle::Borrow(stream), bytes.data(), bytes.size());
}

void Report(const ProgramStreams& streams, const std::string& what, int error) {
    (void)WriteTo(streams.errors, "tornix-convert: " + what + ": " + fs_os::ErrorText(error) + "\n");
}

// A file named on the command line. Windows' entry point passes its wide
// arguments as UTF-8; elsewhere the bytes are the name as they are.
std::filesystem::path PathOf(std::string_view name) {
    return std::filesystem::u8path(name);
}

std::string Quoted(std::string_view name) {
    return "'" + std::string(name) + "'";
}

std::string InputName(std::string_view name) {
    return name == kStandardInput ? "standard input" : Quoted(name);
}

// Standard output, or a file that is replaced only when everything went well
// (a FIFO or a device is written straight through).
class Output {
public:
    Output(const ConvertRequest& request, fs_os::NativeHandle standardOutput) : m_standardOutput(standardOutput) {
        if (request.output) {
            m_name = *request.output;
            m_file = std::make_unique<SafeFileWriter>(PathOf(*request.output), SpecialTarget::kWriteThrough);
        }
    }

    bool Open() {
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

    // True when `input` is the regular file that standard output appends to:
    // reading it would never end, as the output makes it grow.
    bool IsStandardOutput(const fs_os::FileHandle& input) const {
        fs_os::FileIdentity identity;
        return m_standardOutputFile && fs_os::Identify(input, identity) == 0 &&
               identity.device == m_standardOutputFile->device && identity.index == m_standardOutputFile->index;
    }

    bool Write(std::string_view bytes) {
        if (m_file) {
            if (m_file->Write(bytes)) return true;
            m_error = m_file->LastError();
            return false;
        }
        m_error = WriteTo(m_standardOutput, bytes);
        return m_error == 0;
    }

    bool Commit() {
        if (!m_file) return true;
        if (m_file->Commit() == WriteStatus::kOk) return true;
        m_error = m_file->LastError();
        return false;
    }

    // Reports the last failure and gives the exit status for it.
    int Failed(const ProgramStreams& streams) const {
        if (!m_file && fs_os::IsBrokenPipeError(m_error)) return kExitBrokenPipe;
        Report(streams, "cannot write " + (m_file ? Quoted(m_name) : std::string("standard output")),
               m_error != 0 ? m_error : EIO);
        return kExitFileError;
    }

private:
    fs_os::NativeHandle m_standardOutput;
    std::string m_name;
    std::unique_ptr<SafeFileWriter> m_file;
    std::optional<fs_os::FileIdentity> m_standardOutputFile;  // standard output, when it is a regular file
    int m_error = 0;
};

// Held-back white space beyond the stream's memory goes to a temporary file.
class TemporarySpill : public HeldSpill {
public:
    int Append(std::string_view bytes) override { return m_file.Append(bytes); }
    int ReadBack(const std::function<void(std::string_view)>& take) override {
        return m_file.ReadBack([&take](std::string_view bytes) {
            take(bytes);
            return 0;
        });
    }
    void Clear() override { m_file.Clear(); }

private:
    TemporaryFile m_file;
};

int StreamFailed(const WidthStream& stream, const Output& output, const ProgramStreams& streams) {
    if (stream.failure() == WidthStream::Failure::kSink) return output.Failed(streams);
    Report(streams, "cannot hold back white space in a temporary file", stream.spillError());
    return kExitFileError;
}

// Feeds one input to the stream. Returns an exit status when it must stop.
std::optional<int> ConvertInput(std::string_view name, WidthStream& stream, const Output& output,
                                const ProgramStreams& streams, char* buffer) {
    fs_os::FileHandle file;
    if (name == kStandardInput) {
        file = fs_os::FileHandle::Borrow(streams.input);
    } else {
        std::uint64_t sizeHint = 0;
        if (int code = fs_os::OpenForReading(PathOf(name), file, sizeHint)) {
            Report(streams, "cannot read " + InputName(name), code);
            return kExitFileError;
        }
    }
    if (output.IsStandardOutput(file)) {
        (void)WriteTo(streams.errors, "tornix-convert: " + InputName(name) + ": input file is output file\n");
        return kExitFileError;
    }
    for (;;) {
        std::size_t got = 0;
        if (int code = fs_os::ReadSome(file, buffer, kReadSize, got)) {
            Report(streams, "cannot read " + InputName(name), code);
            return kExitFileError;
        }
        if (got == 0) return std::nullopt;
        if (!stream.Write(std::string_view(buffer, got))) return StreamFailed(stream, output, streams);
    }
}

}  // namespace

int RunConvert(const ConvertRequest& request, const ProgramStreams& streams) {
    Output output(request, streams.output);
    if (!output.Open()) return output.Failed(streams);
    TemporarySpill spill;
    WidthStream stream(
        request.direction, request.trim, [&output](std::string_view bytes) { return output.Write(bytes); }, &spill);
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    const std::vector<std::string> standardInputOnly{std::string(kStandardInput)};
    for (const std::string& name : request.inputs.empty() ? standardInputOnly : request.inputs) {
        if (const auto status = ConvertInput(name, stream, output, streams, buffer.get())) return *status;
    }
    if (!stream.Finish()) return StreamFailed(stream, output, streams);
    // As the window refuses it; an output file is left as it was.
    if (request.trim && stream.onlyWhiteSpace()) {
        (void)WriteTo(streams.errors, EmptyTextMessage(streams.terminal));
        return kExitFileError;
    }
    if (!output.Commit()) return output.Failed(streams);
    return kExitSuccess;
}

int RunTornixConvert(const std::vector<std::string>& args, const ProgramStreams& streams) {
    const CommandLine line = ParseCommandLine(args);
    std::string text;
    switch (line.kind) {
        case CommandKind::kConvert:
            return RunConvert(line.request, streams);
        case CommandKind::kUsageError:
            (void)WriteTo(streams.errors, "tornix-convert: " + line.error + "\n" + std::string(UsageLine()));
            return kExitUsageError;
        case CommandKind::kHelp:
            text = HelpText(streams.terminal);
            break;
        case CommandKind::kVersion:
            text = VersionText();
            break;
    }
    const int error = WriteTo(streams.output, text);
    if (error == 0) return kExitSuccess;
    if (fs_os::IsBrokenPipeError(error)) return kExitBrokenPipe;
    Report(streams, "cannot write standard output", error);
    return kExitFileError;
}

}  // namespace tornix
