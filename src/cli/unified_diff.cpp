#include "cli/unified_diff.h"

#include "text/transcode.h"

namespace tornix {
namespace {

constexpr std::size_t kContext = 3;

}  // namespace

UnifiedDiff::UnifiedDiff(std::string shownName, Charset terminal)
    : m_name(std::move(shownName)), m_terminal(terminal) {}

void UnifiedDiff::Before(std::string_view text) {
    Take(text, m_beforePartial, m_before);
    Pair();
}

void UnifiedDiff::After(std::string_view text) {
    Take(text, m_afterPartial, m_after);
    Pair();
}

void UnifiedDiff::Take(std::string_view text, std::string& partial, std::deque<Line>& lines) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            partial.append(text.substr(at));
            return;
        }
        partial.append(text.substr(at, end - at));
        lines.push_back({std::move(partial), true});
        partial.clear();
        at = end + 1;
    }
}

void UnifiedDiff::Pair() {
    while (!m_before.empty() && !m_after.empty()) {
        Line before = std::move(m_before.front());
        Line after = std::move(m_after.front());
        m_before.pop_front();
        m_after.pop_front();
        if (before.text == after.text && before.ended == after.ended) {
            Unchanged(std::move(before));
        } else {
            Changed(std::move(before), std::move(after));
        }
        ++m_line;
    }
}

// An unchanged line is context for the hunk before it, the one after it, or
// neither: a hunk closes once more than twice the context has gone by.
void UnifiedDiff::Unchanged(Line line) {
    m_quiet.push_back(std::move(line));
    if (m_open && m_quiet.size() > 2 * kContext) CloseHunk(kContext);
    if (!m_open && m_quiet.size() > kContext) m_quiet.pop_front();
}

void UnifiedDiff::Changed(Line before, Line after) {
    if (!m_open) {
        m_open = true;
        m_hunkStart = m_line - m_quiet.size();
        m_hunkLines = 0;
        m_hunk.clear();
    }
    if (!m_quiet.empty()) {  // the lines since the last change, then this one
        for (const Line& removed : m_removed) Put('-', removed, m_hunk);
        for (const Line& added : m_added) Put('+', added, m_hunk);
        m_removed.clear();
        m_added.clear();
        for (const Line& quiet : m_quiet) Put(' ', quiet, m_hunk);
        m_hunkLines += m_quiet.size();
        m_quiet.clear();
    }
    m_removed.push_back(std::move(before));
    m_added.push_back(std::move(after));
    ++m_hunkLines;
}

// Ends the hunk with `trailing` of the unchanged lines that followed it; the
// last context ones stay, for the next hunk.
void UnifiedDiff::CloseHunk(std::size_t trailing) {
    for (const Line& removed : m_removed) Put('-', removed, m_hunk);
    for (const Line& added : m_added) Put('+', added, m_hunk);
    m_removed.clear();
    m_added.clear();
    trailing = std::min(trailing, m_quiet.size());
    for (std::size_t i = 0; i < trailing; ++i) Put(' ', m_quiet[i], m_hunk);
    const std::uint64_t lines = m_hunkLines + trailing;
    if (m_diff.empty()) m_diff = "--- " + m_name + "\n+++ " + m_name + "\n";
    const std::string range = std::to_string(lines == 0 ? m_hunkStart : m_hunkStart + 1) + "," + std::to_string(lines);
    m_diff += "@@ -" + range + " +" + range + " @@\n" + m_hunk;
    m_quiet.erase(m_quiet.begin(), m_quiet.begin() + static_cast<std::ptrdiff_t>(std::min(m_quiet.size(), trailing)));
    while (m_quiet.size() > kContext) m_quiet.pop_front();
    m_open = false;
}

void UnifiedDiff::Put(char mark, const Line& line, std::string& out) const {
    out += mark;
    if (m_terminal == Charset::kUtf8) {
        out += utf8 ? line.text : EncodeText(line.text, {Charset::kUtf8, false});
    } else {
        out += utf8 ? DecodeText(line.text, {Charset::kUtf8, false}) : line.text;
    }
    out += line.ended ? "\n" : "\n\\ No newline at end of file\n";
}

std::string UnifiedDiff::Finish() {
    // The last lines, cut by no line break.
    if (!m_beforePartial.empty()) m_before.push_back({std::move(m_beforePartial), false});
    if (!m_afterPartial.empty()) m_after.push_back({std::move(m_afterPartial), false});
    Pair();
    if (m_open) CloseHunk(kContext);
    return std::move(m_diff);
}

}  // namespace tornix
