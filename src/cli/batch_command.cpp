#include "cli/batch_command.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "cli/batch_files.h"
#include "cli/file_job.h"
#include "cli/help_text.h"
#include "cli/messages.h"
#include "cli/progress.h"

namespace tornix {
namespace {

using Result = FileOutcome::Result;

struct Tally {
    unsigned converted = 0;
    unsigned unchanged = 0;
    unsigned wouldChange = 0;
    unsigned skipped = 0;
    unsigned failed = 0;

    void Add(Result result) {
        switch (result) {
            case Result::kConverted:
                ++converted;
                break;
            case Result::kUnchanged:
                ++unchanged;
                break;
            case Result::kWouldChange:
                ++wouldChange;
                break;
            case Result::kSkipped:
                ++skipped;
                break;
            case Result::kFailed:
                ++failed;
                break;
        }
    }

    std::string Line(BatchMode mode) const {
        const std::string changed = mode == BatchMode::kInPlace ? std::to_string(converted) + " converted"
                                                                : std::to_string(wouldChange) + " would change";
        return "tornix-convert: " + changed + ", " + std::to_string(unchanged) + " unchanged, " +
               std::to_string(skipped) + " skipped, " + std::to_string(failed) + " failed\n";
    }
};

// The files converted by workers, each file's outcome taken in the
// listing's order.
class Workers {
public:
    Workers(const std::vector<BatchFile>& files, const ConvertRequest& request, const ProgramStreams& streams)
        : m_files(files), m_request(request), m_streams(streams), m_outcomes(files.size()) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t count = std::min<std::size_t>(cores, files.size());
        for (std::size_t i = 0; i < count; ++i) m_threads.emplace_back([this] { Work(); });
    }
    ~Workers() {
        m_stop = true;
        for (std::thread& thread : m_threads) thread.join();
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // The outcome of file `index`, once it has one; `waiting` is called
    // every tenth of a second meanwhile.
    template <typename Waiting>
    FileOutcome Take(std::size_t index, Waiting waiting) {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_outcomes[index]) {
            lock.unlock();
            waiting();
            lock.lock();
            m_done.wait_for(lock, std::chrono::milliseconds(100), [&] { return m_outcomes[index].has_value(); });
        }
        return std::move(*m_outcomes[index]);
    }

    // Ends the workers after the files they are on (the output has gone).
    void Stop() { m_stop = true; }

private:
    void Work() {
        for (;;) {
            const std::size_t index = m_next.fetch_add(1);
            if (index >= m_files.size() || m_stop) return;
            FileOutcome outcome = Convert(m_files[index]);
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_outcomes[index] = std::move(outcome);
            m_done.notify_all();
        }
    }

    // A file that memory does not suffice for fails on its own; the others go on.
    FileOutcome Convert(const BatchFile& file) const {
        try {
            return ConvertFile(file, m_request, m_streams.localeText, m_streams.terminal);
        } catch (const std::bad_alloc&) {
            FileOutcome outcome;
            outcome.notes = Message("cannot convert " + Quoted(file.shown, m_streams.terminal), "out of memory");
            return outcome;
        }
    }

    const std::vector<BatchFile>& m_files;
    const ConvertRequest& m_request;
    const ProgramStreams& m_streams;
    std::vector<std::optional<FileOutcome>> m_outcomes;
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::vector<std::thread> m_threads;
};

}  // namespace

int RunBatch(const ConvertRequest& request, const ProgramStreams& streams) {
    BatchListing listing = ListBatchFiles(request, streams.terminal);
    if (!listing.usageError.empty()) {
        (void)WriteTo(streams.errors, "tornix-convert: " + listing.usageError + "\n" + std::string(UsageLine()));
        return kExitUsageError;
    }
    (void)WriteTo(streams.errors, listing.notes);
    Tally tally;
    tally.skipped = listing.skipped;
    tally.failed = listing.failed;
    Progress progress(streams.errors, !request.quiet, listing.files.size());
    std::uint64_t bytesDone = 0;
    bool outputGone = false;
    {
        Workers workers(listing.files, request, streams);
        for (std::size_t index = 0; index < listing.files.size() && !outputGone; ++index) {
            const BatchFile& file = listing.files[index];
            FileOutcome outcome = workers.Take(index, [&] { progress.Update(index, bytesDone, file.shown); });
            bytesDone += file.size;
            tally.Add(outcome.result);
            if (!outcome.notes.empty()) {
                progress.Clear();
                (void)WriteTo(streams.errors, outcome.notes);
            }
            if (!outcome.listing.empty() && fs_os::IsBrokenPipeError(WriteTo(streams.output, outcome.listing))) {
                outputGone = true;
                workers.Stop();
            }
        }
    }
    progress.Clear();
    if (outputGone) return kExitBrokenPipe;
    if (!request.quiet) (void)WriteTo(streams.errors, tally.Line(request.batch));
    const bool changes = request.batch != BatchMode::kInPlace && tally.wouldChange > 0;
    return tally.failed > 0 || changes ? kExitFileError : kExitSuccess;
}

}  // namespace tornix
