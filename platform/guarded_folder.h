#pragma once
// A protected folder with every form it can be met in, for the guard and for walks that must
// not enter it.

#include <optional>
#include <string>
#include <vector>

#include "file_system_places.h"
#include "protected_folders.h"
#include "system.h"

namespace platform {

struct GuardedFolder {
    const ProtectedFolder* folder = nullptr;
    std::optional<FileIdentity> identity;       // when it exists
    std::vector<FileIdentity> aboveIdentities;  // the folders above it as ".." leads, nearest first
    std::vector<std::string> texts;             // as written (made absolute) and resolved
    std::vector<std::string> aboveTexts;        // the folders above those texts
    std::vector<Place> places;                  // within file systems and overlay layers
};

// The forms of each protected folder that has a path, in the list's order; the result points
// into folders, which must outlive it.
std::vector<GuardedFolder> guardedFolders(const std::vector<ProtectedFolder>& folders,
                                          const FileSystemPlaces& places);

// The identities of the folder open at descriptor and of every folder above it, nearest
// first, as ".." leads (across mounts, to the folder a mount sits on) up to the root.
std::vector<FileIdentity> identityChain(int descriptor);

}  // namespace platform
