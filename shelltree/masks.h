#pragma once
// File masks of the folder tree: '*' stands for any run of characters, '?' for one
// character; both compared in lower case. A literal after a '*' binds to its first
// occurrence and is never tried again further on (no backtracking), so '*.txt' does not
// match 'a.txt.txt'.

#include <string>
#include <string_view>
#include <vector>

namespace shelltree {

bool MaskMatches(std::string_view name, std::string_view mask);

// An empty list matches every name; otherwise the first mask that matches wins.
bool MatchesAnyMask(std::string_view name, const std::vector<std::string>& masks);

// A mask text as the tree stores it: parts between ';', each trimmed, empty parts dropped;
// a text that is empty after trimming is "*.*".
std::vector<std::string> parseFileMask(std::string_view text);
// The masks joined with ';'.
std::string joinFileMask(const std::vector<std::string>& masks);

}  // namespace shelltree
