#include "files/text_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/line_splitter.h"
#include "text/transcode.h"

namespace tornix {
namespace {

// Bytes asked for per read: large enough for few calls, small enough that
// each piece is still in the cache when it is scanned.
constexpr std::size_t kReadStep = std::size_t{1} << 20;
// Buffer for a file of unknown size (a pipe), doubled as it fills.
constexpr std::size_t kFirstRead = std::size_t{64} << 10;
// Bytes decoded at a time when a file's text is decoded in place.
constexpr std::size_t kDecodeStep = std::size_t{64} << 10;
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

bool FileExists(const std::filesystem::path& path) {
    return fs_os::CanOpenForReading(path);
}

namespace {

// The whole file's bytes as they are. Room is kept beyond them for some of
// the CRs that the line layout puts in, so that the buffer normally is
// allocated once.
ReadStatus ReadWhole(const fs_os::FileHandle& file, std::uint64_t sizeHint, std::string& bytes, int& error) {
    if (sizeHint > kMaxText) return ReadStatus::kTooLarge;
    Reserve(bytes, sizeHint > 0 ? static_cast<std::size_t>(sizeHint + sizeHint / 8 + 2) : kFirstRead);
    std::size_t used = 0;
    for (;;) {
        if (bytes.capacity() - used < kMinRead) {
            if (bytes.capacity() > kMaxText / 2) return ReadStatus::kTooLarge;
            Reserve(bytes, 2 * bytes.capacity());
        }
        bytes.resize(used + std::min(bytes.capacity() - used, kReadStep));
        std::size_t got = 0;
        if ((error = fs_os::ReadSome(file, bytes.data() + used, bytes.size() - used, got)) != 0) {
            return ReadStatus::kReadError;
        }
        if (got == 0) break;
        used += got;
    }
    bytes.resize(used);
    return ReadStatus::kOk;
}

// The text of `bytes` from `from` on, decoded into the bytes' own buffer a
// piece at a time while the text so far is no longer than the bytes it came
// from (Chinese in UTF-8 shrinks by a third); where it would overtake them,
// the rest goes to a buffer of its own. No fresh memory for most files, and
// less in all.
std::string DecodeInPlace(std::string bytes, std::size_t from, Charset charset) {
    TextDecoder decoder(charset);
    std::string piece;
    std::size_t written = 0;  // the text, at the start of `bytes`
    std::size_t at = from;    // the bytes decoded
    const std::string_view all = bytes;
    for (bool last = false; !last;) {
        piece.clear();
        last = at == all.size();
        if (last) {
            decoder.Finish(piece);
        } else {
            const std::size_t step = std::min(kDecodeStep, all.size() - at);
            decoder.Decode(all.substr(at, step), piece);
            at += step;
        }
        if (written + piece.size() > at) {  // it would overwrite bytes still to decode
            std::string text;
            Reserve(text, written + piece.size() + (all.size() - at) * 2);
            text.append(bytes.data(), written).append(piece);
            if (!last) {
                decoder.Decode(all.substr(at), text);
                decoder.Finish(text);
            }
            return text;
        }
        std::memcpy(bytes.data() + written, piece.data(), piece.size());
        written += piece.size();
    }
    bytes.resize(written);
    fs_os::ReleaseBufferTail(bytes.data(), bytes.size(), bytes.capacity());
    return bytes;
}

// The decoded text laid out as lines (line_splitter.h), in its own buffer:
// the CRs that each piece needs are counted first, then the pieces are laid
// out from the last to the first, each moved up by the CRs of the pieces
// before it, so that no byte is overwritten before it has moved. A NUL (in
// UTF-16, a NUL character) refuses the file.
ReadStatus LayOutLines(std::string& text) {
    const std::size_t size = text.size();
    std::vector<std::size_t> crsBefore;  // for each piece of kReadStep bytes
    std::size_t crs = 0;
    for (std::size_t at = 0; at < size; at += kReadStep) {
        const PieceScan scan = ScanPiece(std::string_view(text).substr(at, kReadStep), at > 0 ? text[at - 1] : '\0');
        if (scan.hasNul) return ReadStatus::kContainsNul;
        crsBefore.push_back(crs);
        crs += scan.bareLineFeeds;
    }
    if (crs == 0) return ReadStatus::kOk;
    text.resize(size + crs);
    std::string piece;
    for (std::size_t k = crsBefore.size(); k-- > 0;) {
        const std::size_t at = k * kReadStep;
        piece.assign(text, at, std::min(kReadStep, size - at));
        CopyWithCarriageReturns(piece, at > 0 ? text[at - 1] : '\0', text.data() + at + crsBefore[k]);
    }
    return ReadStatus::kOk;
}

// The encoding the user named, with its mark when the file begins with it.
FileEncoding NamedEncoding(std::string_view bytes, Charset named) {
    const std::string_view mark = ByteOrderMark(named);
    return {named, !mark.empty() && bytes.substr(0, mark.size()) == mark};
}

}  // namespace

ReadResult ReadTextFile(const std::filesystem::path& path, std::uint64_t largestFile, std::optional<Charset> named) {
    fs_os::FileHandle file;
    std::uint64_t sizeHint = 0;
    if (int code = fs_os::OpenRegularForReading(path, file, sizeHint)) return Failure(ReadStatus::kCannotOpen, code);
    if (sizeHint > largestFile) return Failure(ReadStatus::kTooLarge, 0);
    std::string bytes;
    int error = 0;
    const ReadStatus read = ReadWhole(file, sizeHint, bytes, error);
    if (read != ReadStatus::kOk) return Failure(read, error);
    file.Close();
    return DecodeTextFile(std::move(bytes), named);
}

ReadResult DecodeTextFile(std::string bytes, std::optional<Charset> named) {
    // Code page 936 is the bytes as they are; any other encoding is decoded.
    const FileEncoding encoding = named ? NamedEncoding(bytes, *named) : DetectEncoding(bytes);
    std::string text =
        encoding.charset == Charset::kGbk
            ? std::move(bytes)
            : DecodeInPlace(std::move(bytes), encoding.byteOrderMark ? ByteOrderMark(encoding.charset).size() : 0,
                            encoding.charset);
    const ReadStatus laidOut = LayOutLines(text);
    if (laidOut != ReadStatus::kOk) return Failure(laidOut, 0);
    if (!text.empty() && text.back() != '\n') text += "\r\n";  // the last line's break

    ReadResult result;
    result.status = ReadStatus::kOk;
    result.text = GbkString(std::move(text));
    result.encoding = encoding;
    return result;
}

bool EncodeTextFile(const GbkString& text, FileEncoding encoding, const std::function<bool(std::string_view)>& write,
                    std::optional<Unencodable>* unencodable) {
    if (encoding.charset == Charset::kGbk) return write(text.view());
    std::string bytes(encoding.byteOrderMark ? ByteOrderMark(encoding.charset) : std::string_view());
    TextEncoder encoder(encoding.charset);
    const std::string_view all = text.view();
    for (std::size_t at = 0;; at += kReadStep) {
        const bool last = at >= all.size();
        if (last) {
            encoder.Finish(bytes);
        } else {
            encoder.Encode(all.substr(at, kReadStep), bytes);
        }
        // A piece that holds a character the encoding lacks is never written.
        if (const std::optional<Unencodable> lacked = encoder.firstUnencodable()) {
            if (unencodable != nullptr) *unencodable = lacked;
            return false;
        }
        if (!write(bytes)) return false;
        if (last) return true;
        bytes.clear();
    }
}

WriteResult WriteTextFile(const std::filesystem::path& path, const GbkString& text, FileEncoding encoding) {
    SafeFileWriter writer(path);
    WriteResult result;
    result.status = writer.Open();
    if (result.status == WriteStatus::kOk) {
        const bool written = EncodeTextFile(
            text, encoding, [&writer](std::string_view bytes) { return writer.Write(bytes); }, &result.unencodable);
        result.status = written ? writer.Commit() : WriteStatus::kWriteFailed;
    }
    result.error = result.unencodable ? 0 : writer.LastError();
    result.problem = writer.Problem();
    result.problemPath = writer.ProblemPath();
    return result;
}

}  // namespace tornix
