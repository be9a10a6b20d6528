// Text files: the readability probe, reading a whole file into one text and
// writing one text to a file.
//
// A file is in one of the encodings of text/encoding.h, which the one rule
// there detects unless the caller names one: code page 936 bytes are taken
// and stored as they are; UTF-8, UTF-16, GB18030 and Big5 files become the
// program's text (code page 936, with GB18030's four-byte forms for what it
// lacks) and are written back the same way, losing nothing
// (text/transcode.h); a text that holds a character Big5 lacks is not
// written as Big5. A byte-order mark is not part of
// the text. A file is a sequence of lines; a line ends at LF and a CR directly
// before that LF belongs to the break. In memory every line is followed by
// CR LF.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "files/safe_writer.h"
#include "text/encoding.h"
#include "text/gbk_string.h"
#include "text/transcode.h"

namespace tornix {

// True exactly when `path` names an existing file, not a directory, that this
// process can open for reading now. No handle stays open.
bool FileExists(const std::filesystem::path& path);

enum class ReadStatus {
    kOk,
    kCannotOpen,   // missing, a directory, not a regular file, not readable, ...
    kReadError,    // opened, then a read failed
    kContainsNul,  // a NUL byte (a NUL character in UTF-16): a binary file, refused whole
    kTooLarge,     // longer than the caller's limit (nothing was read) or than the reader can hold
};

struct ReadResult {
    ReadStatus status = ReadStatus::kCannotOpen;
    GbkString text;         // the lines, each followed by CR LF; empty unless kOk
    FileEncoding encoding;  // the file's, as detected or named; code page 936 unless kOk
    int error = 0;          // the system's error code for kCannotOpen / kReadError

    bool ok() const noexcept { return status == ReadStatus::kOk; }
};

// Reads the whole file, detects its encoding once, decodes it and lays it out
// as lines once. Lines end at LF (a CR right before it is part of the break);
// a CR elsewhere stays; a last line without LF is still delivered; Ctrl-Z
// (0x1A) is an ordinary byte. Only a regular file is read: a FIFO, a socket
// or a device is refused (kCannotOpen) without waiting. A file longer than
// `largestFile` bytes is refused (kTooLarge) before anything is read.
// `named`: the file's encoding as the user named it (its byte-order mark, if
// the file begins with it, is skipped); nothing: the rule decides.
ReadResult ReadTextFile(const std::filesystem::path& path,
                        std::uint64_t largestFile = std::numeric_limits<std::uint64_t>::max(),
                        std::optional<Charset> named = std::nullopt);

// What ReadTextFile makes of a whole file's bytes once it has read them:
// kOk, or kContainsNul.
ReadResult DecodeTextFile(std::string bytes, std::optional<Charset> named = std::nullopt);

struct WriteResult {
    WriteStatus status = WriteStatus::kCannotCreate;
    int error = 0;                             // the system's error code, for a failure
    SaveProblem problem = SaveProblem::kNone;  // what the failure was, beyond the code
    std::filesystem::path problemPath;         // see SafeFileWriter::ProblemPath()
    // The first character of the text that the encoding lacks, when that
    // stopped the save (status kWriteFailed, error 0): the file is as it was.
    std::optional<Unencodable> unencodable;

    bool ok() const noexcept { return status == WriteStatus::kOk; }
};

// Writes the text in `encoding`, with its byte-order mark if it asks for one
// (code page 936: the text's bytes unchanged; nothing is added), through
// SafeFileWriter. kCannotCreate: nothing could be created (missing folder, no
// permission, not a regular file, a backup of an earlier cut-off save in the
// way); kWriteFailed: writing failed afterwards (a full disk, an I/O error).
// After either the previous file is unchanged, or its old content is in the
// backup that problemPath names (kBackupKept).
WriteResult WriteTextFile(const std::filesystem::path& path, const GbkString& text, FileEncoding encoding = {});

// The bytes that WriteTextFile writes, handed to `write` a piece at a time
// (the file's bytes are never all in memory beside the text); false as soon
// as `write` returns false, or before a piece that holds a character the
// encoding lacks, which goes to `unencodable` when given.
bool EncodeTextFile(const GbkString& text, FileEncoding encoding, const std::function<bool(std::string_view)>& write,
                    std::optional<Unencodable>* unencodable = nullptr);

}  // namespace tornix
