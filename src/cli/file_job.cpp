#include "cli/file_job.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "cli/convert_command.h"
#include "cli/messages.h"
#include "cli/text_conversion.h"
#include "cli/unified_diff.h"
#include "files/file_system.h"
#include "files/safe_writer.h"

namespace tornix {
namespace {

// Takes the converted bytes, compares them with the file's own from its start,
// and, where asked to save, saves from the first difference on.
class ChangeSink : public ByteSink {
public:
    ChangeSink(const BatchFile& file, const fs_os::FileHandle& original, std::uint64_t size, bool save)
        : m_file(file), m_original(original), m_size(size), m_save(save) {}

    bool Write(std::string_view bytes) override {
        if (m_writer) return m_writer->Write(bytes);
        if (m_changed) return true;  // nothing to save: the rest is not needed
        const std::size_t same = SameBytes(bytes);
        if (same == bytes.size()) {
            m_offset += same;
            return true;
        }
        return Diverge(m_offset + same) && (!m_writer || m_writer->Write(bytes.substr(same)));
    }

    // After the conversion: saves where the result differs. False when that failed.
    bool Finish() {
        if (!m_changed && m_offset != m_size && !Diverge(m_offset)) return false;  // the result ends early
        return !m_writer || m_writer->Commit() == WriteStatus::kOk;
    }

    bool changed() const { return m_changed; }
    std::string Failure() const { return m_writer ? SaveFailure(*m_writer) : Reason(m_readError); }

private:
    // How many of `bytes` are the file's own bytes at m_offset. A read that
    // fails counts as a difference: the save then reads again, and says why.
    std::size_t SameBytes(std::string_view bytes) {
        std::size_t same = 0;
        while (same < bytes.size()) {
            m_buffer.resize(bytes.size() - same);
            std::size_t got = 0;
            if (fs_os::ReadSomeAt(m_original, m_offset + same, m_buffer.data(), m_buffer.size(), got) != 0 ||
                got == 0) {
                return same;
            }
            const auto first = std::mismatch(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(got),
                                             bytes.begin() + static_cast<std::ptrdiff_t>(same));
            const auto equal = static_cast<std::size_t>(first.first - m_buffer.begin());
            same += equal;
            if (equal < got) return same;
        }
        return same;
    }

    // The result differs from the file from `at` on: with a save, a writer
    // gets the file's own bytes before it.
    bool Diverge(std::uint64_t at) {
        m_changed = true;
        if (!m_save) return true;
        m_writer = std::make_unique<SafeFileWriter>(m_file.path, SpecialTarget::kRefuse, LeftoverCleanup::kNone);
        if (m_writer->Open() != WriteStatus::kOk) return false;
        std::string block(std::size_t{1} << 20, '\0');
        for (std::uint64_t offset = 0; offset < at;) {
            std::size_t got = 0;
            const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), at - offset));
            m_readError = fs_os::ReadSomeAt(m_original, offset, block.data(), wanted, got);
            if (m_readError != 0 || got == 0) {
                if (m_readError == 0) m_readError = fs_os::EndOfFileError();
                m_writer.reset();
                return false;
            }
            if (!m_writer->Write(std::string_view(block.data(), got))) return false;
            offset += got;
        }
        return true;
    }

    const BatchFile& m_file;
    const fs_os::FileHandle& m_original;
    std::uint64_t m_size;
    bool m_save;
    std::uint64_t m_offset = 0;  // bytes of the result found the same as the file's
    bool m_changed = false;
    int m_readError = 0;
    std::string m_buffer;
    std::unique_ptr<SafeFileWriter> m_writer;
};

bool IsUtf16(std::optional<FileEncoding> encoding) {
    return encoding && (encoding->charset == Charset::kUtf16Le || encoding->charset == Charset::kUtf16Be);
}

FileOutcome Outcome(FileOutcome::Result result, std::string notes = {}) {
    FileOutcome outcome;
    outcome.result = result;
    outcome.notes = std::move(notes);
    return outcome;
}

}  // namespace

FileOutcome ConvertFile(const BatchFile& file, const ConvertRequest& request, Charset allAscii, Charset terminal) {
    using Result = FileOutcome::Result;
    const std::string shown = Quoted(file.shown, terminal);
    fs_os::FileHandle input;
    std::uint64_t size = 0;
    if (int code = fs_os::OpenRegularForReading(file.path, input, size)) {
        return Outcome(Result::kFailed, Message("cannot read " + shown, Reason(code)));
    }
    const bool save = request.batch == BatchMode::kInPlace;
    ChangeSink sink(file, input, size, save);
    std::optional<UnifiedDiff> diff;
    if (request.batch == BatchMode::kDiff) diff.emplace(file.shown, terminal);
    TextConversion conversion(request, allAscii, sink, nullptr, diff ? &*diff : nullptr);
    conversion.BeginInput(shown);
    std::string buffer(kReadSize, '\0');
    std::optional<Stop> stop;
    for (;;) {
        std::size_t got = 0;
        if (int code = fs_os::ReadSome(input, buffer.data(), buffer.size(), got)) {
            return Outcome(Result::kFailed, Message("cannot read " + shown, Reason(code)));
        }
        if (got == 0) break;
        stop = conversion.Feed(std::string_view(buffer.data(), got));
        if (std::memchr(buffer.data(), 0, got) != nullptr && !IsUtf16(conversion.input())) {
            return Outcome(Result::kSkipped,
                           request.quiet ? "" : Message(shown, "skipped: it holds NUL bytes, so it is no text"));
        }
        if (stop) break;
    }
    if (!stop) stop = conversion.Finish();
    if (stop) {
        const std::string why = stop->why == Stop::Why::kOutput ? Message("cannot write " + shown, sink.Failure())
                                                                : conversion.Explain(*stop, terminal);
        return Outcome(Result::kFailed, why);
    }
    if (!sink.Finish()) return Outcome(Result::kFailed, Message("cannot write " + shown, sink.Failure()));
    if (!sink.changed()) return Outcome(Result::kUnchanged);
    if (save) return Outcome(Result::kConverted);
    FileOutcome outcome = Outcome(Result::kWouldChange);
    outcome.listing = diff ? diff->Finish() : file.shown + "\n";
    return outcome;
}

}  // namespace tornix
