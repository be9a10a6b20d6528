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
#include "text/encoding.h"
#include "text/transcode.h"

namespace tornix {

namespace {

// Input is read in blocks of this size; the stream converts a block at a time.
constexpr std::size_t kReadSize = std::size_t{256} << 10;
constexpr std::string_view kStandardInput = "-";
// An input whose start is all ASCII this far is taken in the locale's
// character set, so that output need not wait any longer.
constexpr std::size_t kLongestUndecidedStart = std::size_t{1} << 20;

// Writes all of `bytes` to a standard stream; 0 or the system's error code.
int WriteTo(fs_os::NativeHandle stream, std::string_view bytes) {
    return fs_os::WriteAll(fs_os::FileHandle::Borrow(stream), bytes.data(), bytes.size());
}

// The system's words for an error code, or, for 0 where the system gave
// none, the same words on every platform (not a code of another's).
std::string Reason(int error) {
    return error != 0 ? fs_os::ErrorText(error) : "Input/output error";
}

void Report(const ProgramStreams& streams, const std::string& what, int error) {
    (void)WriteTo(streams.errors, "tornix-convert: " + what + ": " + Reason(error) + "\n");
}

// A file named on the command line. Windows' entry point passes its wide
// arguments as WTF-8; elsewhere the bytes are the name as they are.
std::filesystem::path PathOf(std::string_view name) {
    return fs_os::PathFromUtf8(name);
}

std::string Quoted(std::string_view name) {
    return "'" + std::string(name) + "'";
}

// Why a save failed, as the message says it after the file's name.
std::string SaveFailure(const SafeFileWriter& writer) {
    const std::string where = Quoted(fs_os::Utf8FromPath(writer.ProblemPath()));
    std::string reason = Reason(writer.LastError());
    switch (writer.Problem()) {
        case SaveProblem::kUnsafeLink:
            return "it is a symbolic link that another user made in a shared folder; such a link is not followed";
        case SaveProblem::kBackupExists:
            return "an earlier save of it was cut off, and its old content is kept in " + where +
                   "; put that back or remove it, then save again";
        case SaveProblem::kBackupKept:
            return reason + "; its old content is kept in " + where;
        case SaveProblem::kBusy:
            return "another program is writing it";
        case SaveProblem::kTemporaryFolder:
            return "the folder for temporary files " + where + " (TMPDIR): " + reason;
        case SaveProblem::kNone:
            break;
    }
    return reason;
}

std::string InputName(std::string_view name) {
    return name == kStandardInput ? "standard input" : Quoted(name);
}

// Standard output, or a file that is replaced only when everything went well
// (a FIFO or a device is written straight through).
class Output {
public:
    Output(const ConvertRequest& request, fs_os::NativeHandle standardOutput) : m_standardOutput(standardOutput) {
        // /dev/stdout is standard output, as "-" is, whatever it leads to.
        if (request.output && fs_os::DescriptorNamed(PathOf(*request.output)) != fs_os::StandardOutput()) {
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
        if (m_file) {
            (void)WriteTo(streams.errors,
                          "tornix-convert: cannot write " + Quoted(m_name) + ": " + SaveFailure(*m_file) + "\n");
        } else {
            Report(streams, "cannot write standard output", m_error);
        }
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

// The way from the input's bytes to the output's: the input's encoding
// decided at its start (unless given); then code page 936 and UTF-8 text
// converted by WidthStream as they are, when the output is in the same
// encoding, and any other text decoded into code page 936 with GB18030's
// four-byte forms, converted, and encoded in the output's encoding. Each step
// works piece by piece, so memory does not grow with the input.
class Conversion {
public:
    Conversion(const ConvertRequest& request, const ProgramStreams& streams, Output& output, HeldSpill* spill)
        : m_request(request), m_streams(streams), m_output(output), m_spill(spill) {}

    // A new input begins; its bytes follow through Feed().
    void BeginInput(std::string_view name) {
        m_inputName = InputName(name);
        m_inputStart = m_rawOffset;
    }

    // The next bytes of the current input. Returns an exit status when the
    // program must stop.
    std::optional<int> Feed(std::string_view bytes) {
        if (!m_in) {
            m_start.append(bytes);
            m_rawOffset += bytes.size();
            if (!Decide(false)) return std::nullopt;
            const std::string start = std::move(m_start);
            m_start.clear();
            return Pass(start, m_rawOffset - start.size());
        }
        const std::uint64_t at = m_rawOffset;
        m_rawOffset += bytes.size();
        return Pass(bytes, at);
    }

    // The end of the last input. Returns an exit status when the program must
    // stop; nothing when the output is complete.
    std::optional<int> Finish() {
        if (!m_in) {
            Decide(true);
            const std::string start = std::move(m_start);
            if (auto status = Pass(start, m_rawOffset - start.size())) return status;
        }
        if (m_decoder) {
            m_decoder->Finish(m_text);
            if (auto status = Convert()) return status;
        }
        if (m_validator) {
            m_validator->Finish();
            if (auto status = RefuseInvalid(m_validator->firstInvalid())) return status;
        }
        if (!m_stream->Finish()) return StreamFailed();
        if (m_encoder) m_encoder->Finish(m_bytes);
        if (!WriteMark() || (m_encoder && !WriteEncoded())) {
            return m_cannotEncode ? kExitFileError : m_output.Failed(m_streams);
        }
        if (m_request.trim && m_stream->onlyWhiteSpace()) {  // as the window refuses it
            (void)WriteTo(m_streams.errors, EmptyTextMessage(m_streams.terminal));
            return kExitFileError;
        }
        return std::nullopt;
    }

private:
    // Decides the input's encoding from its start, or from the request.
    // False while the start must grow first.
    bool Decide(bool complete) {
        std::optional<FileEncoding> found;
        if (m_request.encoding) {
            const bool marked = *m_request.encoding != Charset::kGbk &&
                                EncodingFromByteOrderMark(m_start) == FileEncoding{*m_request.encoding, true};
            if (!marked && !complete && m_start.size() < 4 && *m_request.encoding != Charset::kGbk) return false;
            found = FileEncoding{*m_request.encoding, marked};
        } else {
            found = DetectEncodingAtStart(m_start, complete);
            if (!found && !complete && m_start.size() < kLongestUndecidedStart) return false;
            if (!found) found = FileEncoding{m_streams.localeText, false};
            m_detected = true;
        }
        m_in = found->charset;
        if (found->byteOrderMark) m_markLength = ByteOrderMark(found->charset).size();
        const Charset out = m_request.outputEncoding.value_or(*m_in);
        // The same encoding both ways: the mark is kept, and bytes that are no
        // character of a named encoding pass through as they are.
        m_strictInput = (m_detected && !found->byteOrderMark) || out != *m_in;
        m_strictOutput = out != *m_in;
        m_outCharset = out;
        if (found->byteOrderMark && out != Charset::kGbk) m_mark = ByteOrderMark(out);
        const bool asItIs = out == *m_in && (out == Charset::kGbk || out == Charset::kUtf8);
        if (!asItIs) {
            m_decoder.emplace(*m_in);
            m_encoder.emplace(out);
        } else if (out == Charset::kUtf8 && m_strictInput) {
            m_validator.emplace();
        }
        m_stream.emplace(
            m_request.direction, m_request.trim, [this](std::string_view text) { return Emit(text); },
            asItIs && out == Charset::kUtf8 ? WidthEncoding::kUtf8 : WidthEncoding::kGbk, m_spill, m_request.policy);
        return true;
    }

    // Bytes of the input, once its encoding is known; `at` is where they
    // begin among all the input's bytes.
    std::optional<int> Pass(std::string_view bytes, std::uint64_t at) {
        if (at < m_markLength) {  // the mark is not part of the text
            const auto skip = static_cast<std::size_t>(std::min<std::uint64_t>(m_markLength - at, bytes.size()));
            bytes.remove_prefix(skip);
        }
        if (!m_decoder) {
            if (m_validator) {
                m_validator->Check(bytes);
                if (auto status = RefuseInvalid(m_validator->firstInvalid())) return status;
            }
            if (!m_stream->Write(bytes)) return StreamFailed();
            return std::nullopt;
        }
        m_decoder->Decode(bytes, m_text);
        return Convert();
    }

    // Stops at the first byte that is no character of the input's encoding,
    // where that ends the run.
    std::optional<int> RefuseInvalid(std::optional<std::uint64_t> invalid) {
        if (!m_strictInput || !invalid) return std::nullopt;
        const std::uint64_t raw = *invalid + m_markLength;
        const std::uint64_t at = raw > m_inputStart ? raw - m_inputStart : 0;
        (void)WriteTo(m_streams.errors, "tornix-convert: " + m_inputName + ": not valid " +
                                            std::string(RecordOf(*m_in).title) + " at byte " + std::to_string(at) +
                                            " (name the input's encoding with -e)\n");
        return kExitFileError;
    }

    // Hands the decoded text on.
    std::optional<int> Convert() {
        if (auto status = RefuseInvalid(m_decoder->firstInvalid())) return status;
        const bool written = m_stream->Write(m_text);
        m_text.clear();
        if (!written) return StreamFailed();
        return std::nullopt;
    }

    // The converted text, to the output. False when the output failed or
    // cannot hold the text (m_cannotEncode, already reported).
    bool Emit(std::string_view text) {
        if (!WriteMark()) return false;
        if (!m_encoder) return m_output.Write(text);
        m_encoder->Encode(text, m_bytes);
        return WriteEncoded();
    }

    // The output's byte-order mark, before anything else.
    bool WriteMark() {
        if (m_mark.empty()) return true;
        const std::string_view mark = m_mark;
        m_mark = {};
        return m_output.Write(mark);
    }

    bool WriteEncoded() {
        if (m_strictOutput && m_encoder->wroteBytesAsTheyAre()) {
            m_cannotEncode = true;
            (void)WriteTo(m_streams.errors, "tornix-convert: the text holds what " +
                                                std::string(RecordOf(m_outCharset).title) +
                                                " cannot hold (choose another with --output-encoding)\n");
            return false;
        }
        const bool written = m_bytes.empty() || m_output.Write(m_bytes);
        m_bytes.clear();
        return written;
    }

    int StreamFailed() const {
        if (m_cannotEncode) return kExitFileError;
        if (m_stream->failure() == WidthStream::Failure::kSink) return m_output.Failed(m_streams);
        Report(m_streams, "cannot hold back white space in a temporary file", m_stream->spillError());
        return kExitFileError;
    }

    const ConvertRequest& m_request;
    const ProgramStreams& m_streams;
    Output& m_output;
    HeldSpill* m_spill;
    std::optional<WidthStream> m_stream;  // once the encoding is decided
    std::string m_start;                  // the input's start, while its encoding is undecided
    std::optional<Charset> m_in;          // the input's encoding, once decided
    Charset m_outCharset = Charset::kGbk;
    bool m_detected = false;      // decided by the rule, not named with -e
    bool m_strictInput = false;   // stop at a byte that is no character
    bool m_strictOutput = false;  // stop at what the output's encoding cannot hold
    bool m_cannotEncode = false;
    std::size_t m_markLength = 0;  // the input's byte-order mark, left out of the text
    std::string_view m_mark;       // the output's byte-order mark, until written
    std::optional<TextDecoder> m_decoder;
    std::optional<TextEncoder> m_encoder;
    std::optional<Utf8Validator> m_validator;  // UTF-8 converted as it is, when its validity is asked for
    std::string m_text;                        // decoded, for the stream
    std::string m_bytes;                       // encoded, for the output
    std::uint64_t m_rawOffset = 0;             // input bytes taken so far, all inputs
    std::uint64_t m_inputStart = 0;            // where the current input began among them
    std::string m_inputName;
};

// Feeds one input to the conversion. Returns an exit status when it must stop.
std::optional<int> ConvertInput(std::string_view name, Conversion& conversion, const Output& output,
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
    conversion.BeginInput(name);
    for (;;) {
        std::size_t got = 0;
        if (int code = fs_os::ReadSome(file, buffer, kReadSize, got)) {
            Report(streams, "cannot read " + InputName(name), code);
            return kExitFileError;
        }
        if (got == 0) return std::nullopt;
        if (auto status = conversion.Feed(std::string_view(buffer, got))) return status;
    }
}

}  // namespace

int RunConvert(const ConvertRequest& request, const ProgramStreams& streams) {
    Output output(request, streams.output);
    if (!output.Open()) return output.Failed(streams);
    TemporarySpill spill;
    Conversion conversion(request, streams, output, &spill);
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    const std::vector<std::string> standardInputOnly{std::string(kStandardInput)};
    for (const std::string& name : request.inputs.empty() ? standardInputOnly : request.inputs) {
        if (const auto status = ConvertInput(name, conversion, output, streams, buffer.get())) return *status;
    }
    if (const auto status = conversion.Finish()) return *status;
    if (!output.Commit()) return output.Failed(streams);
    return kExitSuccess;
}

int RunTornixConvert(const std::vector<std::string>& args, const ProgramStreams& streams) {
    const CommandLine line = ParseCommandLine(args, streams.arguments);
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
