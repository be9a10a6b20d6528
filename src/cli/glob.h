// The patterns of --include and --exclude, as shells match file names: `*`
// any run of characters but `/`, `**` any run at all, `?` one character,
// `[abc]`, `[a-z]` and `[!abc]` one of a set (or none of it); anything else
// itself. A pattern without `/` is matched against a file's name, one with
// `/` against its path below the folder given (with `/` between names).
// Bytes are matched as they are; a character of several bytes is as many
// `?`s.
// Example: GlobMatches("*.txt", "notes.txt"), GlobMatches("docs/**/*.md", "docs/a/b/c.md").
#pragma once

#include <string_view>

namespace tornix {

[[nodiscard]] bool GlobMatches(std::string_view pattern, std::string_view text);

}  // namespace tornix
