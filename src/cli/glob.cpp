#include "cli/glob.h"

namespace tornix {
namespace {

// The set that begins at pattern[at] ('[' included); where it ends (past
// ']'), and whether `c` is in it. No closing ']': no set, '[' is itself.
bool InSet(std::string_view pattern, std::size_t& at, char c, bool& matched) {
    std::size_t i = at + 1;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negated) ++i;
    bool found = false;
    for (bool first = true; i < pattern.size() && (first || pattern[i] != ']'); first = false) {
        const char low = pattern[i];
        char high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            high = pattern[i + 2];
            i += 2;
        }
        found = found || (c >= low && c <= high);
        ++i;
    }
    if (i >= pattern.size()) return false;
    at = i + 1;
    matched = found != negated;
    return true;
}

bool Match(std::string_view pattern, std::string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    while (p < pattern.size()) {
        if (pattern[p] == '*') {
            const bool crossesFolders = p + 1 < pattern.size() && pattern[p + 1] == '*';
            std::size_t rest = p + (crossesFolders ? 2 : 1);
            if (crossesFolders && rest < pattern.size() && pattern[rest] == '/') {
                if (Match(pattern.substr(rest + 1), text.substr(t))) return true;  // "**/" may be no folder
            }
            for (std::size_t skip = t; skip <= text.size(); ++skip) {
                if (Match(pattern.substr(rest), text.substr(skip))) return true;
                if (skip < text.size() && text[skip] == '/' && !crossesFolders) return false;
            }
            return false;
        }
        if (t >= text.size()) return false;
        if (pattern[p] == '[') {
            bool matched = false;
            std::size_t after = p;
            if (InSet(pattern, after, text[t], matched)) {
                if (!matched || text[t] == '/') return false;
                p = after;
                ++t;
                continue;
            }
        }
        if (pattern[p] == '?' ? text[t] == '/' : pattern[p] != text[t]) return false;
        ++p;
        ++t;
    }
    return t == text.size();
}

}  // namespace

bool GlobMatches(std::string_view pattern, std::string_view text) {
    return Match(pattern, text);
}

}  // namespace tornix
