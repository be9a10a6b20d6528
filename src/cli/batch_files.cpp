#include "cli/batch_files.h"

#include <algorithm>
#include <set>
#include <utility>

#include "cli/glob.h"
#include "cli/messages.h"
#include "files/file_system.h"
#include "files/save_names.h"

namespace tornix {
namespace {

using Entry = fs_os::FolderEntry;

class Walk {
public:
    Walk(const ConvertRequest& request, Charset terminal) : m_request(request), m_terminal(terminal) {}

    BatchListing Run() {
        for (const std::string& given : m_request.inputs) Given(given);
        return std::move(m_listing);
    }

private:
    void Given(const std::string& given) {
        const std::vector<std::filesystem::path> matches = fs_os::MatchWildcards(PathOf(given));
        if (matches.empty()) return Fail(given, "no file matches it");
        for (const std::filesystem::path& path : matches) {
            const std::string shown =
                matches.size() == 1 && matches[0] == PathOf(given) ? given : fs_os::Utf8FromPath(path);
            Entry entry;
            if (int code = fs_os::ExamineFollowingLinks(path, entry)) {
                Fail(shown, Reason(code));
            } else if (entry.kind == Entry::Kind::kFolder) {
                if (!m_request.recursive && m_listing.usageError.empty()) {
                    m_listing.usageError = Quoted(shown, m_terminal) + " is a folder (-r converts the files in it)";
                }
                if (m_request.recursive) Folder(path, Trimmed(shown), "");
            } else {
                Take(entry, path, shown);
            }
        }
    }

    void Folder(const std::filesystem::path& path, const std::string& shown, const std::string& below) {
        fs_os::Folder folder;
        std::vector<Entry> entries;
        int code = fs_os::OpenFolder(path, folder);
        if (code == 0) code = fs_os::ListFolder(folder, entries);
        if (code != 0) return Fail(shown, Reason(code));
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
        for (const Entry& entry : entries) {
            if (IsSaveName(entry.name)) continue;  // a save's own file, maybe of this run
            const std::string name = fs_os::Utf8FromPath(entry.name);
            std::string childShown = shown;
            childShown.append(Separator()).append(name);
            std::string childBelow = below;
            if (!childBelow.empty()) childBelow += '/';
            childBelow += name;
            if (Matches(m_request.exclude, name, childBelow)) continue;
            if (entry.kind == Entry::Kind::kFolder) {
                Folder(path / entry.name, childShown, childBelow);
            } else if (!m_request.include.empty() && !Matches(m_request.include, name, childBelow)) {
                continue;
            } else if (entry.kind == Entry::Kind::kLink) {
                Skip(childShown, "a symbolic link, not followed");
            } else {
                Take(entry, path / entry.name, childShown);
            }
        }
    }

    void Take(const Entry& entry, const std::filesystem::path& path, const std::string& shown) {
        if (entry.kind != Entry::Kind::kRegular)
            return Skip(shown, "not a regular file (a FIFO, a socket or a device)");
        if (!m_seen.insert({entry.identity.device, entry.identity.index}).second) return;
        m_listing.files.push_back({path, shown, entry.size});
    }

    static bool Matches(const std::vector<std::string>& patterns, const std::string& name, const std::string& below) {
        return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
            return GlobMatches(pattern, pattern.find('/') == std::string::npos ? name : below);
        });
    }

    static std::string Separator() {
        return std::string(1, static_cast<char>(std::filesystem::path::preferred_separator));
    }

    // A folder's name as given, without the separators that may end it.
    static std::string Trimmed(std::string shown) {
        while (shown.size() > 1 && (shown.back() == '/' || shown.back() == Separator()[0])) shown.pop_back();
        return shown;
    }

    void Skip(const std::string& shown, const std::string& why) {
        ++m_listing.skipped;
        if (!m_request.quiet) m_listing.notes += Message(Quoted(shown, m_terminal), "skipped: " + why);
    }

    void Fail(const std::string& shown, const std::string& why) {
        ++m_listing.failed;
        m_listing.notes += Message("cannot read " + Quoted(shown, m_terminal), why);
    }

    const ConvertRequest& m_request;
    Charset m_terminal;
    BatchListing m_listing;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_seen;
};

}  // namespace

BatchListing ListBatchFiles(const ConvertRequest& request, Charset terminal) {
    return Walk(request, terminal).Run();
}

}  // namespace tornix
