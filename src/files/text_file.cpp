#include "files/text_file.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <system_error>

#include "files/file_system.h"
#include "files/line_splitter.h"

namespace tornix {
namespace {

// Bytes asked for per read: large enough for few calls, small enough that
// each piece is still in the cache when it is checked for NUL.
constexpr std::size_t kReadStep = std::size_t{1} << 20;

ReadResult Failure(ReadStatus status, int error) {
    ReadResult result;
    result.status = status;
    result.error = error;
    return result;
}

}  // namespace

bool FileExists(std::filesystem::path path) { return fs_os::CanOpenForReading(path); }

ReadResult ReadTextFile(const std::filesystem::path& path) {
    fs_os::FileHandle file;
    std::uint64_t sizeHint = 0;
    if (int code = fs_os::OpenForReading(path, file, sizeHint)) return Failure(ReadStatus::kCannotOpen, code);

    std::string bytes;
    // Room for the file and for the CRs that LF-only breaks gain, so that the
    // text is normally laid out without moving it to a new buffer.
    if (sizeHint > bytes.max_size() / 2) {
        return Failure(ReadStatus::kReadError, static_cast<int>(std::errc::file_too_large));
    }
    if (sizeHint > 0) bytes.reserve(static_cast<std::size_t>(sizeHint + sizeHint / 8 + 2));

    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            const std::size_t room = bytes.capacity() - used;
            bytes.resize(used + (room > 0 ? std::min(room, kReadStep) : kReadStep));
        }
        std::size_t got = 0;
        if (int code = fs_os::ReadSome(file, bytes.data() + used, bytes.size() - used, got)) {
            return Failure(ReadStatus::kReadError, code);
        }
        if (got == 0) break;
        // Refuse a file with a NUL as soon as one is seen, before reading on.
        if (std::memchr(bytes.data() + used, '\0', got) != nullptr) return Failure(ReadStatus::kContainsNul, 0);
        used += got;
    }
    file.Close();
    bytes.resize(used);
    if (!SplitLinesInPlace(bytes)) return Failure(ReadStatus::kContainsNul, 0);

    ReadResult result;
    result.status = ReadStatus::kOk;
    result.text = GbkString(std::move(bytes));
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
