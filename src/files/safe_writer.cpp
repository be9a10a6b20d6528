#include "files/safe_writer.h"

#include <cerrno>
#include <string>

#include "files/file_system.h"
#include "files/in_place_rewrite.h"
#include "files/pending_files.h"
#include "files/save_names.h"
#include "files/temporary_file.h"
#include "files/termination.h"

namespace tornix {
namespace {

using fs_os::NativeString;

constexpr int kTempNameAttempts = 100;
// A leftover is only removed when nothing has written to it for this long,
// which covers the moment between creating a temporary file and marking it.
constexpr unsigned kLeftoverQuietSeconds = 10;

}  // namespace

class SafeFileWriter::Impl {
public:
    enum class Mode {
        kReplace,  // a temporary file renamed over the target
        kInPlace,  // the target itself, rewritten at Commit()
        kDirect,   // a device, a pipe or a descriptor, written straight through
    };
    enum class State { kNew, kOpen, kFailed, kCommitted, kCannotCreate };

    Impl(std::filesystem::path targetPath, SpecialTarget specialTarget, LeftoverCleanup leftovers)
        : target(std::move(targetPath)), special(specialTarget), cleanup(leftovers) {}

    ~Impl() { Discard(); }

    WriteStatus Open();
    bool Write(std::string_view bytes);
    WriteStatus Commit();

    std::filesystem::path target;
    SpecialTarget special;
    LeftoverCleanup cleanup;
    int error = 0;
    SaveProblem problem = SaveProblem::kNone;
    std::filesystem::path problemPath;

private:
    WriteStatus CannotCreate(int code, SaveProblem what = SaveProblem::kNone, std::filesystem::path where = {}) {
        Note(code, what, std::move(where));
        Discard();
        state = State::kCannotCreate;
        return WriteStatus::kCannotCreate;
    }
    WriteStatus Failed(int code, SaveProblem what = SaveProblem::kNone, std::filesystem::path where = {}) {
        Note(code, what, std::move(where));
        Discard();
        state = State::kFailed;
        return WriteStatus::kWriteFailed;
    }
    WriteStatus Failed(const RewriteOutcome& outcome) {
        return Failed(outcome.error, outcome.problem,
                      outcome.problem == SaveProblem::kTemporaryFolder ? fs_os::TemporaryFolderPath() : outcome.backup);
    }
    void Note(int code, SaveProblem what, std::filesystem::path where) {
        error = code;
        problem = what;
        problemPath = std::move(where);
    }
    WriteStatus Opened(Mode how) {
        mode = how;
        state = State::kOpen;
        return WriteStatus::kOk;
    }
    // Closes the files and removes the temporary one, if any.
    void Discard() {
        file.Close();
        targetFile.Close();
        if (!temp.empty()) {
            (void)fs_os::RemoveIn(folder, temp);
            temp.clear();
        }
        pending.Clear();
        staged.Clear();
    }
    WriteStatus OpenRegularTarget();
    int CreateTemp(fs_os::FileKind kind);
    WriteStatus BeginInPlace();
    WriteStatus CommitReplace();
    WriteStatus CommitInPlace(const fs_os::FileHandle& content, std::uint64_t size);
    void RemoveLeftovers() const;

    State state = State::kNew;
    Mode mode = Mode::kReplace;
    fs_os::Folder folder;          // the folder of the file that links lead to
    NativeString name;             // that file's name in it
    fs_os::FileHandle targetFile;  // the existing target, while it is needed
    bool targetReadable = false;
    fs_os::FileHandle file;  // kReplace: the temporary file; kDirect: the target
    NativeString temp;       // kReplace: the temporary file's name in the folder
    PendingFile pending;
    TemporaryFile staged;  // kInPlace: the new content until Commit()
};

WriteStatus SafeFileWriter::Impl::Open() {
    if (state == State::kOpen) return WriteStatus::kOk;
    if (state != State::kNew) return WriteStatus::kCannotCreate;

    if (const auto descriptor = fs_os::DescriptorNamed(target)) {
        if (special == SpecialTarget::kRefuse) return CannotCreate(fs_os::NotRegularFileError());
        file = fs_os::FileHandle::Borrow(*descriptor);
        fs_os::FileIdentity open;
        if (int code = fs_os::Identify(file, open)) return CannotCreate(code);
        return Opened(Mode::kDirect);
    }
    // A device or a pipe, also one that a link of the system's leads to (as
    // /dev/tty does), which is no file in any folder.
    fs_os::FileKind kind = fs_os::FileKind::kMissing;
    if (fs_os::InspectFollowingLinks(target, kind) == 0 && kind == fs_os::FileKind::kOther) {
        if (special == SpecialTarget::kRefuse) return CannotCreate(fs_os::NotRegularFileError());
        if (int code = fs_os::OpenForWriting(target, file)) return CannotCreate(code);
        return Opened(Mode::kDirect);
    }

    std::filesystem::path resolved;
    bool refused = false;
    if (int code = fs_os::ResolveLinks(target, resolved, refused)) {
        return CannotCreate(code, refused ? SaveProblem::kUnsafeLink : SaveProblem::kNone);
    }
    if (int code = fs_os::Inspect(resolved, kind)) return CannotCreate(code);
    if (kind == fs_os::FileKind::kDirectory) return CannotCreate(fs_os::IsDirectoryError());
    if (kind == fs_os::FileKind::kOther) return CannotCreate(fs_os::NotRegularFileError());  // changed meanwhile
    name = resolved.filename().native();
    if (int code = fs_os::OpenFolder(resolved.has_parent_path() ? resolved.parent_path() : ".", folder)) {
        return CannotCreate(code);
    }
    if (kind == fs_os::FileKind::kRegular) return OpenRegularTarget();
    if (int code = CreateTemp(kind)) return CannotCreate(code);
    return Opened(Mode::kReplace);
}

// An existing file: replaced by a copy that has all it has, or else
// rewritten where it is.
WriteStatus SafeFileWriter::Impl::OpenRegularTarget() {
    // A file this process may not write is not replaced behind its back,
    // even where the folder would allow the rename.
    if (int code = fs_os::OpenForUpdateIn(folder, name, targetFile, targetReadable)) return CannotCreate(code);
    fs_os::FileIdentity identity;
    if (int code = fs_os::Identify(targetFile, identity)) return CannotCreate(code);
    if (auto backup = FindBackup(folder, name, identity)) {
        // The backup of a rewrite that is still going on, or of one cut off.
        const int locked = fs_os::LockForRewrite(targetFile);
        if (fs_os::IsBusyError(locked)) return CannotCreate(locked, SaveProblem::kBusy);
        return CannotCreate(EEXIST, SaveProblem::kBackupExists, std::move(*backup));
    }
    // Another name of the file would keep the old content after a rename.
    if (identity.links > 1) return BeginInPlace();
    const int code = CreateTemp(fs_os::FileKind::kRegular);
    if (code == 0) {
        targetFile.Close();  // on Windows the rename needs it closed
        return Opened(Mode::kReplace);
    }
    // The folder refuses a new file, or the new file cannot be what the old
    // one is: the file is rewritten where it is.
    if (fs_os::IsMissingFolderError(code)) return CannotCreate(code);
    return BeginInPlace();
}

// Creates the temporary file beside the target, pending from the moment it
// exists; in place of an existing file, private until it has all the
// target's metadata.
int SafeFileWriter::Impl::CreateTemp(fs_os::FileKind kind) {
    const bool replacing = kind == fs_os::FileKind::kRegular;
    int code = 0;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const NativeString candidate = TempName(name);
        bool exists = false;
        const fs_os::TerminationDeferral deferral;  // until the new file is pending
        code = fs_os::CreateNewIn(folder, candidate,
                                  replacing ? fs_os::NewFileAccess::kOwnerOnly : fs_os::NewFileAccess::kDefault, file,
                                  exists);
        if (code == 0) {
            temp = candidate;
            pending.Set(folder.path / temp);
            fs_os::MarkInUse(file);
            break;
        }
        if (!exists) return code;
    }
    if (code == 0 && replacing) {
        code = fs_os::CopyMetadata(targetFile, file);
        if (code != 0) {
            file.Close();
            (void)fs_os::RemoveIn(folder, temp);
            temp.clear();
            pending.Clear();
        }
    }
    return code;
}

WriteStatus SafeFileWriter::Impl::BeginInPlace() {
    if (!targetReadable) return CannotCreate(EACCES);  // its old content could not be kept aside
    if (int code = staged.Create()) {
        return CannotCreate(code, SaveProblem::kTemporaryFolder, fs_os::TemporaryFolderPath());
    }
    return Opened(Mode::kInPlace);
}

bool SafeFileWriter::Impl::Write(std::string_view bytes) {
    if (state != State::kOpen) return false;
    if (mode == Mode::kInPlace) {
        if (int code = staged.Append(bytes)) {
            Failed(code, SaveProblem::kTemporaryFolder, fs_os::TemporaryFolderPath());
            return false;
        }
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
    WriteStatus status = WriteStatus::kOk;
    switch (mode) {
        case Mode::kInPlace:
            status = CommitInPlace(staged.handle(), staged.size());
            break;
        case Mode::kReplace:
            status = CommitReplace();
            break;
        case Mode::kDirect:
            // Some file systems report a failed write only when the file is closed.
            if (int code = file.Close()) return Failed(code);
            break;
    }
    if (status != WriteStatus::kOk) return status;
    Discard();
    state = State::kCommitted;
    Note(0, SaveProblem::kNone, {});
    return WriteStatus::kOk;
}

WriteStatus SafeFileWriter::Impl::CommitReplace() {
    if (int code = fs_os::FlushToDisk(file)) return Failed(code);
    if (int code = file.Close()) return Failed(code);
    const int code = fs_os::RenameIn(folder, temp, name);
    if (code != 0 && fs_os::IsMountPointError(code)) {
        // A file mounted on its own stays where it is: the new content is
        // copied into it.
        fs_os::FileHandle content;
        if (int opened = fs_os::OpenExistingIn(folder, temp, content)) return Failed(opened);
        if (int opened = fs_os::OpenForUpdateIn(folder, name, targetFile, targetReadable)) return Failed(opened);
        if (!targetReadable) return Failed(code);
        return CommitInPlace(content, 0);
    }
    if (code != 0) return Failed(code);
    pending.Clear();
    temp.clear();
    fs_os::FlushFolder(folder);
    if (cleanup == LeftoverCleanup::kAfterSave) RemoveLeftovers();
    return WriteStatus::kOk;
}

WriteStatus SafeFileWriter::Impl::CommitInPlace(const fs_os::FileHandle& content, std::uint64_t size) {
    const RewriteOutcome outcome = RewriteInPlace(folder, name, targetFile, content, size);
    if (outcome.error != 0) return Failed(outcome);
    return WriteStatus::kOk;
}

// Removes what interrupted saves of the same target left beside it: its
// temporary files that no process is writing any more.
void SafeFileWriter::Impl::RemoveLeftovers() const {
    const NativeString prefix = TempPrefix(name);
    for (const NativeString& leftover : fs_os::NamesStartingWith(folder, prefix)) {
        if (!IsTempName(leftover, prefix)) continue;
        if (fs_os::IsAbandoned(folder, leftover, kLeftoverQuietSeconds)) (void)fs_os::RemoveIn(folder, leftover);
    }
}

SafeFileWriter::SafeFileWriter(std::filesystem::path target, SpecialTarget special, LeftoverCleanup cleanup)
    : m_impl(std::make_unique<Impl>(std::move(target), special, cleanup)) {}

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

SaveProblem SafeFileWriter::Problem() const {
    return m_impl->problem;
}

const std::filesystem::path& SafeFileWriter::ProblemPath() const {
    return m_impl->problemPath;
}

}  // namespace tornix
