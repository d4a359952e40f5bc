#pragma once
// Names as the folder tree compares them: case-blind and after the locale's collation, ties
// broken by the bytes (so two names are equal only when their bytes are).

#include <string>
#include <string_view>

namespace shelltree {

// The name in lower case, after the locale's character classes (bytes that are not valid in
// the locale's encoding stay as they are).
std::string foldCase(std::string_view name);

// A key whose byte order is the order of compareNames' first stage: the folded name,
// transformed by the locale's collation unless the locale collates by code point.
std::string nameSortKey(std::string_view name);

// Negative, zero or positive: keys first, then the names' bytes.
int compareNames(std::string_view first, std::string_view second);
int compareKeyed(std::string_view firstKey, std::string_view firstName, std::string_view secondKey,
                 std::string_view secondName);

// Advances past one character of a UTF-8 (or other locale) text; at least one byte.
std::size_t characterLength(std::string_view text);

}  // namespace shelltree
