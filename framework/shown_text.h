#pragma once
// Bytes that need not be UTF-8 (a folder's name on Linux is any bytes but '/' and NUL) shown
// in a control and read back. What is shown is a lossy rendering, each byte that is no part
// of a UTF-8 character standing as U+FFFD; what is read back keeps the bytes of every part
// the user left as it was shown, so that an unchanged text gives the very bytes it was made
// from.

#include <string>
#include <string_view>

namespace framework {

std::u16string shownText(std::string_view bytes);
// The bytes for the text `edited` that a control holds after it showed shownText(bytes):
// its unchanged start and end are those bytes, what lies between is its UTF-8.
std::string keptBytes(std::string_view bytes, std::u16string_view edited);

}  // namespace framework
