#pragma once
// The fonts of this system as fontconfig knows them: the "installed screen fonts" are its
// family names, and installing a font makes it known to fontconfig at once.

#include <memory>
#include <string>
#include <vector>

#include "process.h"

namespace platform {

// Family names of the fonts fontconfig knows (current configuration) from a file, each once,
// sorted by their bytes. A font with several family names (its own and localised ones) lists
// each; fonts a program added from memory are not listed.
std::vector<std::string> installedFontFamilies();

// Adds the font file to this process's fontconfig configuration, so it is usable at once.
// False when fontconfig rejects the file (missing, a folder, not a font).
bool registerFontFile(const std::string& file);

// Starts the refresh of fontconfig's cache for a font folder, so that other programs find
// its new fonts fast (fc-cache on that folder, by full path, found in /usr/bin, without a
// shell). The caller goes on meanwhile and waits for it later: on a machine whose caches are
// stale it can take seconds. Null when fc-cache is missing or could not start; the fonts
// are still found then, fontconfig reads a folder that changed after its cache.
std::unique_ptr<StartedProgram> startFontCacheRefresh(const std::string& folder);

}  // namespace platform
