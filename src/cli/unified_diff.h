// What a conversion changes in a file, as a unified diff (as `diff -u` and
// `git diff` write it: «--- name», «+++ name», hunks «@@ -l,n +l,n @@» with
// three lines of context), built from the text before and after the
// conversion as it streams by. The conversion keeps every line break where
// it is, so line n of the text before is line n after; only the lines that
// differ (and their context) are kept in memory. The lines are shown in the
// terminal's encoding, their own CR included; a last line without a line
// break is followed by «\ No newline at end of file».
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "cli/pipeline.h"
#include "text/encoding.h"

namespace tornix {

class UnifiedDiff : public TextTap {
public:
    UnifiedDiff(std::string shownName, Charset terminal);

    void Before(std::string_view text) override;
    void After(std::string_view text) override;

    // The end of both texts: the diff, empty when nothing differs.
    std::string Finish();

private:
    struct Line {
        std::string text;   // without its LF
        bool ended = true;  // followed by LF
    };
    void Take(std::string_view text, std::string& partial, std::deque<Line>& lines);
    void Pair();
    void Unchanged(Line line);
    void Changed(Line before, Line after);
    void CloseHunk(std::size_t trailing);
    void Put(char mark, const Line& line, std::string& out) const;

    std::string m_name;
    Charset m_terminal;
    std::string m_beforePartial;
    std::string m_afterPartial;
    std::deque<Line> m_before;
    std::deque<Line> m_after;
    std::uint64_t m_line = 0;       // lines paired so far
    std::deque<Line> m_quiet;       // unchanged lines since the last change (or the last ones, before any)
    bool m_open = false;            // a hunk is being built
    std::uint64_t m_hunkStart = 0;  // its first line, from 0
    std::uint64_t m_hunkLines = 0;  // its lines so far (the same count on both sides)
    std::string m_hunk;             // its body
    std::vector<Line> m_removed;    // the run of changed lines not yet in the body
    std::vector<Line> m_added;
    std::string m_diff;
};

}  // namespace tornix
