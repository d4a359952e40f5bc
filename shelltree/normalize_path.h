#pragma once
// Making a typed path usable as a folder of the tree.

#include <string>

namespace shelltree {

// A path not starting with '/' is read relative to the current folder. A path that is not
// an existing folder is cut back, one part at a time, to its nearest existing folder (the
// root at the latest). Empty for an empty path, or when the current folder cannot be read.
// An existing folder stays exactly as given, a final '/' included.
std::string NormalizePath(const std::string& path);

}  // namespace shelltree
