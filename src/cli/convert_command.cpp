#include "cli/convert_command.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "cli/batch_command.h"
#include "cli/messages.h"
#include "cli/output.h"
#include "cli/text_conversion.h"
#include "cli/write_behind.h"
#include "files/temporary_file.h"

namespace tornix {

namespace {

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

// The exit status for a conversion that stopped, its reason said.
int Stopped(const Stop& stop, const TextConversion& conversion, const Output& output, const ProgramStreams& streams) {
    if (stop.why == Stop::Why::kOutput) return output.Failed(streams.errors);
    (void)WriteTo(streams.errors, conversion.Explain(stop, streams.terminal));
    return kExitFileError;
}

// Feeds one input to the conversion. Returns an exit status when it must
// stop, once what was converted before has reached the output.
std::optional<int> ConvertInput(std::string_view name, TextConversion& conversion, WriteBehind& writing,
                                const Output& output, const ProgramStreams& streams, std::string& buffer) {
    fs_os::FileHandle file;
    if (name == kStandardInput) {
        file = fs_os::FileHandle::Borrow(streams.input);
    } else {
        std::uint64_t sizeHint = 0;
        if (int code = fs_os::OpenForReading(PathOf(name), file, sizeHint)) {
            (void)WriteTo(streams.errors, Message("cannot read " + InputName(name, streams.terminal), Reason(code)));
            return kExitFileError;
        }
    }
    if (output.IsStandardOutput(file)) {
        (void)WriteTo(streams.errors, Message(InputName(name, streams.terminal), "input file is output file"));
        return kExitFileError;
    }
    conversion.BeginInput(InputName(name, streams.terminal));
    for (;;) {
        std::size_t got = 0;
        if (int code = fs_os::ReadSome(file, buffer.data(), buffer.size(), got)) {
            (void)writing.Flush();
            (void)WriteTo(streams.errors, Message("cannot read " + InputName(name, streams.terminal), Reason(code)));
            return kExitFileError;
        }
        if (got == 0) return std::nullopt;
        if (const auto stop = conversion.Feed(std::string_view(buffer.data(), got))) {
            (void)writing.Flush();
            return Stopped(*stop, conversion, output, streams);
        }
    }
}

int WriteText(const std::string& text, const ProgramStreams& streams) {
    const int error = WriteTo(streams.output, text);
    if (error == 0) return kExitSuccess;
    if (fs_os::IsBrokenPipeError(error)) return kExitBrokenPipe;
    (void)WriteTo(streams.errors, Message("cannot write standard output", Reason(error)));
    return kExitFileError;
}

}  // namespace

int RunConvert(const ConvertRequest& request, const ProgramStreams& streams) {
    Output output(request, streams.output);
    if (!output.Open()) return output.Failed(streams.errors);
    TemporarySpill spill;
    WriteBehind writing(output);
    TextConversion conversion(request, streams.localeText, writing, &spill);
    // The last piece handed over is the conversion's: written before it goes.
    struct Flushed {
        WriteBehind& writing;
        ~Flushed() { (void)writing.Flush(); }
    } const flushed{writing};
    std::string buffer(kReadSize, '\0');
    const std::vector<std::string> standardInputOnly{std::string(kStandardInput)};
    for (const std::string& name : request.inputs.empty() ? standardInputOnly : request.inputs) {
        if (const auto status = ConvertInput(name, conversion, writing, output, streams, buffer)) return *status;
    }
    const std::optional<Stop> stop = conversion.Finish();
    const bool written = writing.Flush();
    if (stop) return Stopped(*stop, conversion, output, streams);
    if (!written || !output.Commit()) return output.Failed(streams.errors);
    return kExitSuccess;
}

int RunTornixConvert(const std::vector<std::string>& args, const ProgramStreams& streams) {
    const CommandLine line = ParseCommandLine(args, streams.arguments);
    switch (line.kind) {
        case CommandKind::kConvert:
            return line.request.batch == BatchMode::kNone ? RunConvert(line.request, streams)
                                                          : RunBatch(line.request, streams);
        case CommandKind::kUsageError:
            (void)WriteTo(streams.errors, "tornix-convert: " + line.error + "\n" + std::string(UsageLine()));
            return kExitUsageError;
        case CommandKind::kHelp:
            return WriteText(HelpText(streams.terminal), streams);
        case CommandKind::kVersion:
            return WriteText(VersionText(), streams);
    }
    return kExitUsageError;
}

}  // namespace tornix
