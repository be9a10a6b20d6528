#include "files/safe_writer.h"

#include <atomic>
#include <chrono>
#include <string>

#include "files/file_system.h"

namespace tornix {
namespace {

constexpr int kTempNameAttempts = 100;

std::uint64_t Mix(std::uint64_t x) {  // splitmix64's finaliser
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A name that no other writer, in this or another process, is likely to pick
// at the same time. A clash is harmless: creating the file fails and the
// writer tries the next name.
std::string TempName() {
    static std::atomic<std::uint64_t> counter{0};
    const auto now = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const std::uint64_t local = reinterpret_cast<std::uintptr_t>(&counter);
    std::uint64_t bits = Mix(now ^ Mix(counter.fetch_add(1) ^ Mix(local)));
    static const char kDigits[] = "0123456789abcdef";
    std::string name = ".tornix-";
    for (int i = 0; i < 12; ++i, bits >>= 4) name += kDigits[bits & 15];
    name += ".tmp";
    return name;
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

    explicit Impl(std::filesystem::path targetPath) : target(std::move(targetPath)) {}

    ~Impl() { Discard(); }

    WriteStatus Open();
    bool Write(std::string_view bytes);
    WriteStatus Commit();

    std::filesystem::path target;
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
    }
    WriteStatus CommitInPlace();

    State state = State::kNew;
    fs_os::FileHandle file;
    std::filesystem::path folder;
    std::filesystem::path temp;
    std::string pending;  // kInPlace: the new content until Commit()
};

WriteStatus SafeFileWriter::Impl::Open() {
    if (state == State::kOpen) return WriteStatus::kOk;
    if (state != State::kNew) return WriteStatus::kCannotCreate;

    if (int code = fs_os::ResolveLinks(target, resolved)) return CannotCreate(code);
    fs_os::FileKind kind = fs_os::FileKind::kMissing;
    if (int code = fs_os::Inspect(resolved, kind)) return CannotCreate(code);
    if (kind == fs_os::FileKind::kDirectory) return CannotCreate(fs_os::IsDirectoryError());
    if (kind == fs_os::FileKind::kOther) {
        // A device or a pipe cannot be replaced by a renamed file.
        if (int code = fs_os::OpenForWriting(resolved, file)) return CannotCreate(code);
        mode = Mode::kDirect;
        state = State::kOpen;
        return WriteStatus::kOk;
    }

    if (kind == fs_os::FileKind::kRegular) {
        // A file this process may not write is not replaced behind its back,
        // even where the folder would allow the rename.
        fs_os::FileHandle probe;
        if (int code = fs_os::OpenForWriting(resolved, probe)) return CannotCreate(code);
    }

    folder = resolved.parent_path();
    if (folder.empty()) folder = ".";
    int code = 0;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::filesystem::path candidate = folder / TempName();
        bool exists = false;
        code = fs_os::CreateNew(candidate, file, exists);
        if (code == 0) {
            temp = candidate;
            break;
        }
        if (!exists) break;
    }
    if (code == 0 && kind == fs_os::FileKind::kRegular) {
        code = fs_os::CopyPermissions(resolved, file);
        if (code != 0) Discard();
    }
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

bool SafeFileWriter::Impl::Write(std::string_view bytes) {
    if (state != State::kOpen) return false;
    if (mode == Mode::kInPlace) {
        pending.append(bytes);
        return true;
    }
    if (int code = fs_os::WriteAll(file, bytes.data(), bytes.size())) {
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
        temp.clear();
        fs_os::FlushFolder(folder);
    }
    state = State::kCommitted;
    error = 0;
    return WriteStatus::kOk;
}

WriteStatus SafeFileWriter::Impl::CommitInPlace() {
    // Keep the old content to put back if the new one cannot be written, and
    // make sure the disk has room before anything is overwritten.
    std::string old;
    if (int code = fs_os::ReadAllFromStart(file, old)) return Failed(code);
    if (pending.size() > old.size()) {
        if (int code = fs_os::ReserveSpace(file, pending.size())) return Failed(code);
    }
    int code = fs_os::WriteAllAt(file, 0, pending.data(), pending.size());
    if (code == 0) code = fs_os::SetLength(file, pending.size());
    if (code == 0) code = fs_os::FlushToDisk(file);
    if (code == 0) code = file.Close();
    if (code != 0) {
        if (file.IsOpen()) {
            fs_os::WriteAllAt(file, 0, old.data(), old.size());
            fs_os::SetLength(file, old.size());
            fs_os::FlushToDisk(file);
        }
        return Failed(code);
    }
    pending = std::string();
    state = State::kCommitted;
    error = 0;
    return WriteStatus::kOk;
}

SafeFileWriter::SafeFileWriter(std::filesystem::path target) : m_impl(std::make_unique<Impl>(std::move(target))) {}

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
