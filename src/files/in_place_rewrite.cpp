#include "files/in_place_rewrite.h"

#include <cerrno>
#include <string>

#include "files/pending_files.h"
#include "files/save_names.h"
#include "files/termination.h"

namespace tornix {
namespace {

using fs_os::NativeString;

constexpr std::size_t kCopyBlock = std::size_t{1} << 20;
constexpr int kTempNameAttempts = 100;

// The old content of a file, kept under a name until the rewrite is done.
class Backup {
public:
    Backup(const fs_os::Folder& folder, const NativeString& name, const fs_os::FileIdentity& identity)
        : m_beside(folder), m_name(name), m_identity(identity) {}
    ~Backup() { Discard(); }
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;

    // Copies the target's content aside, under a temporary name, beside the
    // target or else in the backup folder. The outcome names a problem only.
    RewriteOutcome Take(const fs_os::FileHandle& target) {
        RewriteOutcome outcome = TakeIn(m_beside, BackupNameBeside(m_name), target);
        if (outcome.error == 0 || outcome.problem != SaveProblem::kNone) return outcome;
        if (int code = fs_os::OpenBackupFolder(m_backupFolder, true)) return {code, SaveProblem::kTemporaryFolder, {}};
        outcome = TakeIn(m_backupFolder, BackupNameByIdentity(m_identity, m_name), target);
        if (outcome.error != 0 && outcome.problem == SaveProblem::kNone)
            outcome.problem = SaveProblem::kTemporaryFolder;
        return outcome;
    }

    // Gives the copy its backup name: from now on it outlives the program.
    int Name() {
        bool exists = false;
        if (int code = fs_os::RenameNewIn(*m_place, m_temp, m_final, exists)) return code;
        m_pending.Clear();
        m_temp.clear();
        fs_os::FlushFolder(*m_place);
        return 0;
    }

    int PutBack(const fs_os::FileHandle& target) const { return CopyContent(m_copy, target); }

    void Remove() {
        m_copy.Close();
        if (m_place != nullptr && fs_os::RemoveIn(*m_place, m_final) == 0) fs_os::FlushFolder(*m_place);
        m_place = nullptr;
    }

    // Keeps the named backup, for the user; its path.
    std::filesystem::path Keep() {
        std::filesystem::path path = m_place->path / m_final;
        m_copy.Close();
        m_place = nullptr;
        return path;
    }

private:
    RewriteOutcome TakeIn(const fs_os::Folder& place, const NativeString& final, const fs_os::FileHandle& target) {
        switch (fs_os::UseOfNameIn(place, final)) {
            case fs_os::NameUse::kOwnFile:
                return {EEXIST, SaveProblem::kBackupExists, place.path / final};
            case fs_os::NameUse::kOther:  // not this user's: the next place is tried
                return {EEXIST, SaveProblem::kNone, {}};
            case fs_os::NameUse::kFree:
                break;
        }
        int code = 0;
        for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
            const NativeString temp = TempName(m_name);
            bool exists = false;
            const fs_os::TerminationDeferral deferral;  // until the new file is pending
            code = fs_os::CreateNewIn(place, temp, fs_os::NewFileAccess::kOwnerOnly, m_copy, exists);
            if (code == 0) {
                m_place = &place;
                m_temp = temp;
                m_pending.Set(place.path / temp);
                fs_os::MarkInUse(m_copy);
                break;
            }
            if (!exists) return {code, SaveProblem::kNone, {}};
        }
        if (code == 0) code = CopyContent(target, m_copy);
        if (code != 0) {
            Discard();
            m_place = nullptr;
            return {code, SaveProblem::kNone, {}};
        }
        m_final = final;
        return {};
    }

    // Removes the copy while it has its temporary name.
    void Discard() {
        m_copy.Close();
        if (m_place != nullptr && !m_temp.empty()) (void)fs_os::RemoveIn(*m_place, m_temp);
        m_temp.clear();
        m_pending.Clear();
    }

    const fs_os::Folder& m_beside;
    fs_os::Folder m_backupFolder;
    const NativeString& m_name;
    fs_os::FileIdentity m_identity;
    const fs_os::Folder* m_place = nullptr;  // where the copy is
    NativeString m_temp;                     // its name while it is being written
    NativeString m_final;                    // its backup name
    fs_os::FileHandle m_copy;
    PendingFile m_pending;
};

}  // namespace

int CopyContent(const fs_os::FileHandle& from, const fs_os::FileHandle& to) {
    std::string block(kCopyBlock, '\0');
    std::uint64_t offset = 0;
    for (;;) {
        std::size_t got = 0;
        if (int code = fs_os::ReadSomeAt(from, offset, block.data(), block.size(), got)) return code;
        if (got == 0) break;
        if (int code = fs_os::WriteAllAt(to, offset, block.data(), got)) return code;
        offset += got;
    }
    if (int code = fs_os::SetLength(to, offset)) return code;
    return fs_os::FlushToDisk(to);
}

std::optional<std::filesystem::path> FindBackup(const fs_os::Folder& folder, const NativeString& name,
                                                const fs_os::FileIdentity& identity) {
    const NativeString beside = BackupNameBeside(name);
    if (fs_os::UseOfNameIn(folder, beside) == fs_os::NameUse::kOwnFile) return folder.path / beside;
    fs_os::Folder backups;
    if (fs_os::OpenBackupFolder(backups, false) != 0) return std::nullopt;
    for (const NativeString& found : fs_os::NamesStartingWith(backups, BackupPrefixByIdentity(identity))) {
        if (fs_os::UseOfNameIn(backups, found) == fs_os::NameUse::kOwnFile) return backups.path / found;
    }
    return std::nullopt;
}

RewriteOutcome RewriteInPlace(const fs_os::Folder& folder, const NativeString& name, const fs_os::FileHandle& target,
                              const fs_os::FileHandle& content, std::uint64_t contentSize) {
    if (int code = fs_os::LockForRewrite(target)) {
        return {code, fs_os::IsBusyError(code) ? SaveProblem::kBusy : SaveProblem::kNone, {}};
    }
    fs_os::FileIdentity identity;
    if (int code = fs_os::Identify(target, identity)) return {code, SaveProblem::kNone, {}};
    if (auto found = FindBackup(folder, name, identity)) return {EEXIST, SaveProblem::kBackupExists, *found};
    if (int code = fs_os::ReserveSpace(target, contentSize)) return {code, SaveProblem::kNone, {}};

    Backup backup(folder, name, identity);
    if (RewriteOutcome taken = backup.Take(target); taken.error != 0) return taken;
    // From here until the target holds one content whole, nothing ends the program but SIGKILL.
    const fs_os::TerminationDeferral deferral;
    if (int code = backup.Name()) return {code, SaveProblem::kNone, {}};
    const int code = CopyContent(content, target);
    if (code == 0) {
        backup.Remove();
        return {};
    }
    if (backup.PutBack(target) == 0) {
        backup.Remove();
        return {code, SaveProblem::kNone, {}};
    }
    return {code, SaveProblem::kBackupKept, backup.Keep()};
}

}  // namespace tornix
