#pragma once
// The fonts of this system as fontconfig knows them: the "installed screen fonts" are its
// family names, and installing a font makes it known to fontconfig at once.

#include <string>
#include <vector>

namespace platform {

// Family names of the fonts fontconfig knows (current configuration), each once, sorted by
// their bytes. A font with several family names (its own and localised ones) lists each.
std::vector<std::string> installedFontFamilies();

// Adds the font file to this process's fontconfig configuration (so it is usable at once) and
// refreshes fontconfig's cache for its folder (runs fc-cache on that folder, by full path,
// found in /usr/bin, without a shell; failure ignored). False when fontconfig rejects the file
// (missing, a folder, not a font); the cache is then left alone.
bool registerFontFile(const std::string& file);

}  // namespace platform
