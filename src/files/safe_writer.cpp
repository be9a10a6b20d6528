#include "files/safe_writer.h"

#include <atomic>
#include <chrono>
#include <string>

#include "files/file_system.h"
#include "files/pending_files.h"
#include "files/temporary_file.h"
#include "files/termination.h"

namespace tornix {
namespace {

using NativeString = std::filesystem::path::string_type;
using NativeChar = NativeString::value_type;

constexpr int kTempNameAttempts = 100;
constexpr std::size_t kLongestName = 255;  // units in one name, on the usual file systems
constexpr std::string_view kTempTag = ".tornix-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr std::size_t kRandomDigits = 12;
// A leftover is only removed when nothing has written to it for this long,
// which covers the moment between creating a temporary file and marking it.
constexpr unsigned kLeftoverQuietSeconds = 10;
// Copy steps of the in-place write.
constexpr std::size_t kCopyBlock = std::size_t{1} << 20;

NativeString Native(std::string_view ascii) {
    return NativeString(ascii.begin(), ascii.end());
}

// A unit that continues a character (UTF-8 or UTF-16), where a name is not cut.
template <typename Unit>
bool ContinuesCharacter(Unit unit) {
    if constexpr (sizeof(Unit) == 1) {
        return (static_cast<unsigned char>(unit) & 0xC0) == 0x80;
    } else {
        return unit >= 0xDC00 && unit <= 0xDFFF;  // a low surrogate
    }
}

// «.notes.txt.tornix-»: how every temporary name of `target` begins. The
// target's name is shortened where the whole would be too long.
NativeString TempPrefix(const std::filesystem::path& target) {
    NativeString name = target.filename().native();
    const std::size_t room = kLongestName - 1 - kTempTag.size() - kRandomDigits - kTempEnd.size();
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && ContinuesCharacter(name[cut])) --cut;
        name.resize(cut);
    }
    return Native(".") + name + Native(kTempTag);
}

// True for «<prefix><12 hex digits>.tmp».
bool IsTempName(const NativeString& name, const NativeString& prefix) {
    if (name.size() != prefix.size() + kRandomDigits + kTempEnd.size()) return false;
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + kRandomDigits; ++i) {
        const NativeChar c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return name.compare(prefix.size() + kRandomDigits, kTempEnd.size(), Native(kTempEnd)) == 0;
}

std::uint64_t Mix(std::uint64_t x) {  // splitmix64's finaliser
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Digits that no other writer, in this or another process, is likely to pick
// at the same time. A clash is harmless: creating the file fails and the
// writer tries the next name.
NativeString RandomDigits() {
    static std::atomic<std::uint64_t> counter{0};
    const auto now = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const std::uint64_t local = reinterpret_cast<std::uintptr_t>(&counter);
    std::uint64_t bits = Mix(now ^ Mix(counter.fetch_add(1) ^ Mix(local)));
    static const char kDigits[] = "0123456789abcdef";
    NativeString digits;
    for (std::size_t i = 0; i < kRandomDigits; ++i, bits >>= 4) digits += static_cast<NativeChar>(kDigits[bits & 15]);
    return digits;
}

// Copies the whole of `source` to the end of `copy`.
int CopyToTemporary(const fs_os::FileHandle& source, TemporaryFile& copy) {
    std::string block(kCopyBlock, '\0');
    for (std::uint64_t offset = 0;;) {
        std::size_t got = 0;
        if (int code = fs_os::ReadSomeAt(source, offset, block.data(), block.size(), got)) return code;
        if (got == 0) return 0;
        if (int code = copy.Append(std::string_view(block.data(), got))) return code;
        offset += got;
    }
}

// Makes `target` hold exactly the bytes of `content`.
int Overwrite(const fs_os::FileHandle& target, const TemporaryFile& content) {
    std::uint64_t offset = 0;
    int code = content.ReadBack([&](std::string_view bytes) {
        const int written = fs_os::WriteAllAt(target, offset, bytes.data(), bytes.size());
        offset += bytes.size();
        return written;
    });
    if (code == 0) code = fs_os::SetLength(target, content.size());
    if (code == 0) code = fs_os::FlushToDisk(target);
    return code;
}

}  // namespace

class SafeFileWriter::Impl {
public:
    enum class Mode {
        kReplace,  // a temporary file renamed over the target
        kInPlace,  // the target itself, rewritten at Commit()
        kDirect,   // a device or pipe, written straight through
    };
    enum class State { kNew, kOpen, kFailed, kCommitted, kCannotCreate };

    Impl(std::filesystem::path targetPath, SpecialTarget specialTarget)
        : target(std::move(targetPath)), special(specialTarget) {}

    ~Impl() { Discard(); }

    WriteStatus Open();
    bool Write(std::string_view bytes);
    WriteStatus Commit();

    std::filesystem::path target;
    SpecialTarget special;
    std::filesystem::path resolved;
    Mode mode = Mode::kReplace;
    int error = 0;

private:
    WriteStatus CannotCreate(int code) {
        error = code;
        state = State::kCannotCreate;
        return WriteStatus::kCannotCreate;
    }
    WriteStatus Failed(int code) {
        error = code;
        Discard();
        state = State::kFailed;
        return WriteStatus::kWriteFailed;
    }
    // Closes the file and removes the temporary one, if any.
    void Discard() {
        file.Close();
        if (!temp.empty()) {
            fs_os::RemoveFile(temp);
            temp.clear();
        }
        pending.Clear();
        staged.Clear();
    }
    int CreateTemp(fs_os::FileKind kind);
    WriteStatus CommitInPlace();
    void RemoveLeftovers() const;

    State state = State::kNew;
    fs_os::FileHandle file;
    std::filesystem::path folder;
    std::filesystem::path temp;
    PendingFile pending;
    TemporaryFile staged;  // kInPlace: the new content until Commit()
};

WriteStatus SafeFileWriter::Impl::Open() {
    if (state == State::kOpen) return WriteStatus::kOk;
    if (state != State::kNew) return WriteStatus::kCannotCreate;

    // A device or a pipe, also one that a link of the system's leads to (as
    // /dev/stdout does to «pipe:[1234]», which is no name in any folder).
    fs_os::FileKind kind = fs_os::FileKind::kMissing;
    if (fs_os::InspectFollowingLinks(target, kind) == 0 && kind == fs_os::FileKind::kOther) {
        if (special == SpecialTarget::kRefuse) return CannotCreate(fs_os::NotRegularFileError());
        if (int code = fs_os::OpenForWriting(target, file)) return CannotCreate(code);
        mode = Mode::kDirect;
        state = State::kOpen;
        return WriteStatus::kOk;
    }

    if (int code = fs_os::ResolveLinks(target, resolved)) return CannotCreate(code);
    if (int code = fs_os::Inspect(resolved, kind)) return CannotCreate(code);
    if (kind == fs_os::FileKind::kDirectory) return CannotCreate(fs_os::IsDirectoryError());
    if (kind == fs_os::FileKind::kOther) return CannotCreate(fs_os::NotRegularFileError());  // changed meanwhile

    if (kind == fs_os::FileKind::kRegular) {
        // A file this process may not write is not replaced behind its back,
        // even where the folder would allow the rename.
        fs_os::FileHandle probe;
        if (int code = fs_os::OpenForWriting(resolved, probe)) return CannotCreate(code);
    }

    folder = resolved.parent_path();
    if (folder.empty()) folder = ".";
    const int code = CreateTemp(kind);
    if (code == 0) {
        mode = Mode::kReplace;
        state = State::kOpen;
        return WriteStatus::kOk;
    }
    // The folder refuses a new file: an existing target that may be written
    // is rewritten where it is.
    if (kind == fs_os::FileKind::kRegular && !fs_os::IsMissingFolderError(code) &&
        fs_os::OpenForUpdate(resolved, file) == 0) {
        mode = Mode::kInPlace;
        state = State::kOpen;
        return WriteStatus::kOk;
    }
    return CannotCreate(code);
}

// Creates the temporary file beside the target, pending from the moment it
// exists, and gives it the target's permissions.
int SafeFileWriter::Impl::CreateTemp(fs_os::FileKind kind) {
    const NativeString prefix = TempPrefix(resolved);
    int code = 0;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::filesystem::path candidate = folder / (prefix + RandomDigits() + Native(kTempEnd));
        bool exists = false;
        const fs_os::TerminationDeferral deferral;  // until the new file is pending
        code = fs_os::CreateNew(candidate, file, exists);
        if (code == 0) {
            temp = candidate;
            pending.Set(temp);
            fs_os::MarkInUse(file);
            break;
        }
        if (!exists) return code;
    }
    if (code == 0 && kind == fs_os::FileKind::kRegular) {
        code = fs_os::CopyPermissions(resolved, file);
        if (code != 0) Discard();
    }
    return code;
}

bool SafeFileWriter::Impl::Write(std::string_view bytes) {
    if (state != State::kOpen) return false;
    const int code = mode == Mode::kInPlace ? staged.Append(bytes) : fs_os::WriteAll(file, bytes.data(), bytes.size());
    if (code != 0) {
        Failed(code);
        return false;
    }
    return true;
}

WriteStatus SafeFileWriter::Impl::Commit() {
    switch (state) {
        case State::kNew:
        case State::kCannotCreate:
            return WriteStatus::kCannotCreate;
        case State::kFailed:
            return WriteStatus::kWriteFailed;
        case State::kCommitted:
            return WriteStatus::kOk;
        case State::kOpen:
            break;
    }
    if (mode == Mode::kInPlace) return CommitInPlace();
    if (mode == Mode::kReplace) {
        if (int code = fs_os::FlushToDisk(file)) return Failed(code);
    }
    // Some file systems report a failed write only when the file is closed.
    if (int code = file.Close()) return Failed(code);
    if (mode == Mode::kReplace) {
        if (int code = fs_os::ReplaceFile(temp, resolved)) return Failed(code);
        pending.Clear();
        temp.clear();
        fs_os::FlushFolder(folder);
        RemoveLeftovers();
    }
    state = State::kCommitted;
    error = 0;
    return WriteStatus::kOk;
}

// The old content is copied aside first, so that it can be put back if the
// new one cannot be written; a termination request waits until the target
// holds one or the other whole.
WriteStatus SafeFileWriter::Impl::CommitInPlace() {
    TemporaryFile old;
    if (int code = CopyToTemporary(file, old)) return Failed(code);
    if (staged.size() > old.size()) {
        if (int code = fs_os::ReserveSpace(file, staged.size())) return Failed(code);
    }
    const fs_os::TerminationDeferral deferral;
    int code = Overwrite(file, staged);
    if (code == 0) code = file.Close();
    if (code != 0) {
        if (file.IsOpen()) (void)Overwrite(file, old);
        return Failed(code);
    }
    staged.Clear();
    state = State::kCommitted;
    error = 0;
    return WriteStatus::kOk;
}

// Removes what interrupted saves of the same target left beside it: its
// temporary files that no process is writing any more.
void SafeFileWriter::Impl::RemoveLeftovers() const {
    const NativeString prefix = TempPrefix(resolved);
    for (const NativeString& name : fs_os::NamesStartingWith(folder, prefix)) {
        if (!IsTempName(name, prefix)) continue;
        const std::filesystem::path leftover = folder / name;
        if (fs_os::IsAbandoned(leftover, kLeftoverQuietSeconds)) (void)fs_os::RemoveFile(leftover);
    }
}

SafeFileWriter::SafeFileWriter(std::filesystem::path target, SpecialTarget special)
    : m_impl(std::make_unique<Impl>(std::move(target), special)) {}

SafeFileWriter::~SafeFileWriter() = default;

WriteStatus SafeFileWriter::Open() {
    return m_impl->Open();
}

bool SafeFileWriter::Write(std::string_view bytes) {
    return m_impl->Write(bytes);
}

WriteStatus SafeFileWriter::Commit() {
    return m_impl->Commit();
}

int SafeFileWriter::LastError() const {
    return m_impl->error;
}

}  // namespace tornix
