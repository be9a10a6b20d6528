#include "files/text_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

#include "files/file_system.h"
#include "files/line_splitter.h"

namespace tornix {
namespace {

// Bytes asked for per read: large enough for few calls, small enough that
// each piece is still in the cache when it is scanned.
constexpr std::size_t kReadStep = std::size_t{1} << 20;
// Buffer for a file of unknown size (a pipe), doubled as it fills.
constexpr std::size_t kFirstRead = std::size_t{64} << 10;
// Less room than this left in the buffer: grow it before reading on.
constexpr std::size_t kMinRead = 64;
// The largest text the reader builds.
constexpr std::size_t kMaxText = std::numeric_limits<std::size_t>::max() / 4;

void Reserve(std::string& text, std::size_t capacity) {
    text.reserve(capacity);
    fs_os::AdviseLargeBuffer(text.data(), text.capacity());
}

ReadResult Failure(ReadStatus status, int error) {
    ReadResult result;
    result.status = status;
    result.error = error;
    return result;
}

}  // namespace

// By value, as the callers have always passed it.
bool FileExists(std::filesystem::path path) {  // NOLINT(performance-unnecessary-value-param)
    return fs_os::CanOpenForReading(path);
}

ReadResult ReadTextFile(const std::filesystem::path& path, std::uint64_t largestFile) {
    fs_os::FileHandle file;
    std::uint64_t sizeHint = 0;
    if (int code = fs_os::OpenRegularForReading(path, file, sizeHint)) return Failure(ReadStatus::kCannotOpen, code);
    if (sizeHint > largestFile) return Failure(ReadStatus::kTooLarge, 0);

    // The file is read straight into the text's buffer and laid out piece by
    // piece while each piece is still in the cache: a piece with bare LFs is
    // copied aside and copied back with their CRs. Room is kept for some of
    // those CRs, so that the buffer normally is allocated once.
    if (sizeHint > kMaxText) return Failure(ReadStatus::kReadError, static_cast<int>(std::errc::file_too_large));
    std::string text;
    Reserve(text, sizeHint > 0 ? static_cast<std::size_t>(sizeHint + sizeHint / 8 + 2) : kFirstRead);

    std::string piece;  // a piece with bare LFs, copied out to be laid out again
    std::size_t used = 0;
    for (;;) {
        if (text.capacity() - used < kMinRead) {
            if (text.capacity() > kMaxText / 2)
                return Failure(ReadStatus::kReadError, static_cast<int>(std::errc::file_too_large));
            Reserve(text, 2 * text.capacity());
        }
        text.resize(used + std::min(text.capacity() - used, kReadStep));
        std::size_t got = 0;
        if (int code = fs_os::ReadSome(file, text.data() + used, text.size() - used, got)) {
            return Failure(ReadStatus::kReadError, code);
        }
        if (got == 0) break;
        const char previous = used > 0 ? text[used - 1] : '\0';
        const PieceScan scan = ScanPiece(std::string_view(text.data() + used, got), previous);
        // Refused as soon as a NUL is seen, without reading on.
        if (scan.hasNul) return Failure(ReadStatus::kContainsNul, 0);
        if (scan.bareLineFeeds > 0) {
            piece.assign(text.data() + used, got);
            if (text.size() < used + got + scan.bareLineFeeds) text.resize(used + got + scan.bareLineFeeds);
            CopyWithCarriageReturns(piece, previous, text.data() + used);
        }
        used += got + scan.bareLineFeeds;
    }
    file.Close();
    text.resize(used);
    if (used > 0 && text.back() != '\n') text += "\r\n";  // the last line's break

    ReadResult result;
    result.status = ReadStatus::kOk;
    result.text = GbkString(std::move(text));
    return result;
}

WriteStatus WriteTextFile(const std::filesystem::path& path, const GbkString& text) {
    SafeFileWriter writer(path);
    const WriteStatus opened = writer.Open();
    if (opened != WriteStatus::kOk) return opened;
    if (!writer.Write(text.view())) return WriteStatus::kWriteFailed;
    return writer.Commit();
}

}  // namespace tornix
