#pragma once
// A folder's path as the system reaches it.

#include <string>

namespace platform {

// The folder made absolute against the current folder, as written ("." and ".." worked out on
// the text alone).
std::string absoluteFolder(const std::string& folder);

// The folder as the system reaches it: made absolute against the current folder, each part
// that exists with its links resolved, "." and ".." worked out; the part that does not exist
// yet follows as written (a ".." there takes back the name before it). Absolute, normal.
std::string resolvedFolder(const std::string& folder);

}  // namespace platform
