#include "folder_guard.h"

#include <fcntl.h>

#include <algorithm>
#include <vector>

#include "file_system_places.h"
#include "guarded_folder.h"
#include "open_folder.h"
#include "paths.h"
#include "protected_folders.h"
#include "system.h"

namespace platform {

namespace {

const char* const kNothingDeleted = " Nothing was deleted.";
const char* const kChooseAnother =
    " Quindor cannot be installed there, as it could not be removed again. Please choose "
    "another folder.";

// One folder on the way from the folder asked about up to the root: as ".." and the path's
// text lead (identity and text), or as its file system holds it (place).
struct Level {
    std::optional<FileIdentity> identity;  // when it exists
    std::string text;                      // its absolute normal path; "" when unknown
    std::optional<Place> place;

    std::string name() const { return fileNamePart(place ? place->path : text); }
};

using Chain = std::vector<Level>;

// The folder asked about on its way up to the root, and the same on each file system that
// holds it: the file system of its mount, and the layers of an overlay.
struct Ways {
    Chain path;
    std::vector<Chain> places;
};

// Levels for each text of path and the folders above it, with the identities of the
// deepest folder that exists and of those above it.
Chain levelsOfPath(const std::string& resolved) {
    Chain levels{{std::nullopt, resolved, std::nullopt}};
    for (std::string& above : ancestorsOf(resolved))
        levels.push_back({std::nullopt, std::move(above), std::nullopt});
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const FileDescriptor folder = openFile(levels[i].text, O_PATH | O_DIRECTORY);
        if (!folder) continue;
        const std::vector<FileIdentity> chain = identityChain(folder.get());
        for (std::size_t j = 0; j < chain.size() && i + j < levels.size(); ++j) {
            levels[i + j].identity = chain[j];
        }
        break;
    }
    return levels;
}

Chain levelsOfOpen(int descriptor) {
    const std::vector<FileIdentity> chain = identityChain(descriptor);
    std::vector<std::string> texts;
    if (const std::string path = currentPathOf(descriptor); !path.empty()) {
        texts.push_back(lexicallyNormal(path));
        for (std::string& above : ancestorsOf(texts.front())) texts.push_back(std::move(above));
    }
    // The names only count when they line up with the folders found through "..".
    if (texts.size() != chain.size()) texts.assign(chain.size(), std::string());
    Chain levels;
    for (std::size_t i = 0; i < chain.size(); ++i)
        levels.push_back({chain[i], texts[i], std::nullopt});
    return levels;
}

// The place and every folder above it on its file system; the first level keeps the text of
// the folder asked about, for the reason.
Chain levelsOfPlace(const Place& place, const std::string& text) {
    Chain levels{{std::nullopt, text, place}};
    for (std::string& above : ancestorsOf(place.path)) {
        levels.push_back({std::nullopt, std::string(), Place{place.fileSystem, std::move(above)}});
    }
    return levels;
}

std::vector<Chain> placeChains(const std::vector<Place>& places, const std::string& text) {
    std::vector<Chain> chains;
    chains.reserve(places.size());
    for (const Place& place : places) chains.push_back(levelsOfPlace(place, text));
    return chains;
}

bool holds(const std::vector<std::string>& texts, const std::string& text) {
    return !text.empty() && std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool sameByIdentity(const Level& level, const GuardedFolder& guarded) {
    return level.identity && guarded.identity && level.identity->sameFile(*guarded.identity);
}

bool sameByPlace(const Level& level, const GuardedFolder& guarded) {
    return level.place && std::find(guarded.places.begin(), guarded.places.end(), *level.place) !=
                              guarded.places.end();
}

bool same(const Level& level, const GuardedFolder& guarded) {
    return sameByIdentity(level, guarded) || holds(guarded.texts, level.text) ||
           sameByPlace(level, guarded);
}

bool aboveByPlace(const Level& level, const GuardedFolder& guarded) {
    if (!level.place) return false;
    return std::any_of(guarded.places.begin(), guarded.places.end(), [&level](const Place& place) {
        return level.place->holds(place) && !(*level.place == place);
    });
}

bool above(const Level& level, const GuardedFolder& guarded) {
    if (level.identity) {
        for (const FileIdentity& identity : guarded.aboveIdentities) {
            if (level.identity->sameFile(identity)) return true;
        }
    }
    return holds(guarded.aboveTexts, level.text) || aboveByPlace(level, guarded);
}

// Where the same folder is known by another path (a bind mount), that path is named too.
std::string sameFolderNote(const Level& level, const GuardedFolder& guarded) {
    if (holds(guarded.texts, level.text) || guarded.texts.empty()) return {};
    return " (the same folder as " + guarded.texts.front() + ")";
}

// The first level above the folder that is a tree open below (/var/tmp); trees further up
// do not protect what lies below it.
std::size_t openBelowLevel(const Chain& levels, const std::vector<GuardedFolder>& guarded) {
    for (std::size_t i = 1; i < levels.size(); ++i) {
        for (const GuardedFolder& folder : guarded) {
            if (folder.folder->protection == Protection::OpenBelow && same(levels[i], folder))
                return i;
        }
    }
    return levels.size();
}

std::optional<std::string> belowTree(const Chain& levels, const GuardedFolder& guarded,
                                     std::size_t openBelow) {
    for (std::size_t i = 1; i < openBelow; ++i) {
        if (same(levels[i], guarded)) return "lies in " + guarded.folder->containsText;
    }
    return std::nullopt;
}

// A hidden folder of a home holds settings and keys; below ~/.local programs of the user's
// own may live. A name that cannot be told counts as hidden.
std::optional<std::string> inHiddenFolder(const Chain& levels, const GuardedFolder& home) {
    for (std::size_t i = 1; i < levels.size(); ++i) {
        if (!same(levels[i], home)) continue;
        const std::string name = levels[i - 1].name();
        if (!name.empty() && name.front() != '.') continue;
        if (name == ".local" && i > 1) continue;
        const std::string hidden = name.empty() ? "a hidden folder" : "the hidden folder " + name;
        return (i == 1 ? "is " : "lies in ") + hidden + " of " + home.folder->containsText;
    }
    return std::nullopt;
}

// The folder is a protected folder or lies above one.
std::optional<std::string> sameOrAbove(const Level& folder, const GuardedFolder& guarded) {
    if (same(folder, guarded))
        return "is " + guarded.folder->isText + sameFolderNote(folder, guarded);
    if (above(folder, guarded)) return "contains " + guarded.folder->containsText;
    return std::nullopt;
}

// The folder lies where a protected folder's protection reaches below it.
std::optional<std::string> below(const Chain& levels, const GuardedFolder& guarded,
                                 std::size_t openBelow) {
    switch (guarded.folder->protection) {
        case Protection::WithEverythingBelow: return belowTree(levels, guarded, openBelow);
        case Protection::HomesInside:
            if (levels.size() > 1 && same(levels[1], guarded)) {
                return "is a home folder in " + guarded.texts.front();
            }
            return std::nullopt;
        case Protection::Home: return inHiddenFolder(levels, guarded);
        case Protection::Folder:
        case Protection::OpenBelow: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> judged(const Chain& levels, const std::vector<GuardedFolder>& guarded) {
    const std::size_t openBelow = openBelowLevel(levels, guarded);
    // What the folder is tells the user most; where it lies comes second.
    for (const GuardedFolder& folder : guarded) {
        if (auto why = sameOrAbove(levels.front(), folder)) return why;
    }
    for (const GuardedFolder& folder : guarded) {
        if (auto why = below(levels, folder, openBelow)) return why;
    }
    return std::nullopt;
}

std::optional<Refusal> decide(const Ways& ways, const FileSystemPlaces& places) {
    const Chain& levels = ways.path;
    if (levels.empty()) return Refusal{"", "cannot be looked at"};
    if (levels.size() == 1) return Refusal{levels.front().text, "is the root of the file system"};
    const std::vector<ProtectedFolder> folders = protectedFolders(places.mounts());
    const std::vector<GuardedFolder> guarded = guardedFolders(folders, places);
    if (auto why = judged(levels, guarded)) return Refusal{levels.front().text, *why};
    for (const Chain& chain : ways.places) {
        if (chain.size() == 1) return Refusal{levels.front().text, "is the root of a file system"};
        if (auto why = judged(chain, guarded)) return Refusal{levels.front().text, *why};
    }
    return std::nullopt;
}

// "The recorded folder X is ..." or, when X only leads there, "... X leads to Y, which is ...".
std::string sentence(const std::string& subject, const std::string& folder,
                     const Refusal& refusal) {
    std::string written = folder;
    while (written.size() > 1 && written.back() == '/') written.pop_back();
    if (refusal.resolved.empty() || refusal.resolved == written) {
        return subject + folder + " " + refusal.why + ".";
    }
    return subject + folder + " leads to " + refusal.resolved + ", which " + refusal.why + ".";
}

// The empty, relative or unreadable texts the uninstall refuses before looking at the disc.
std::optional<std::string> textProblem(const std::string& folder) {
    if (folder.empty())
        return std::string("No installation folder was recorded.") + kNothingDeleted;
    if (folder.find('\0') != std::string::npos) {
        return "The recorded folder is not a valid folder name." + std::string(kNothingDeleted);
    }
    if (folder.front() != '/') {
        return "The recorded folder " + folder + " is not a full path (it does not start with /)." +
               kNothingDeleted;
    }
    return std::nullopt;
}

// The install records the folder it resolved, so a record that only reaches its folder
// through a link was changed since; nothing is deleted through a link, however it is written.
std::optional<std::string> linkProblem(const std::string& folder) {
    const std::string resolved = resolvedFolder(folder);
    if (resolved == lexicallyNormal(folder)) return std::nullopt;
    return "The recorded folder " + folder + " leads through a link to " + resolved + "." +
           kNothingDeleted;
}

}  // namespace

std::optional<Refusal> folderRefusal(const std::string& folder) {
    const FileSystemPlaces places(MountInfo::read());
    const std::string resolved = resolvedFolder(folder);
    return decide(Ways{levelsOfPath(resolved), placeChains(places.ofPath(resolved), resolved)},
                  places);
}

std::optional<Refusal> openFolderRefusal(int descriptor) {
    const FileSystemPlaces places(MountInfo::read());
    Chain levels = levelsOfOpen(descriptor);
    const std::string text = levels.empty() ? std::string() : levels.front().text;
    return decide(Ways{std::move(levels), placeChains(places.of(descriptor), text)}, places);
}

std::optional<std::string> refusalReason(const std::string& folder) {
    if (auto problem = textProblem(folder)) return problem;
    if (auto refusal = folderRefusal(folder)) {
        return sentence("The recorded folder ", folder, *refusal) + kNothingDeleted;
    }
    return linkProblem(folder);
}

std::optional<std::string> refusalReason(const std::string& folder, int openedFolder) {
    if (auto problem = textProblem(folder)) return problem;
    if (auto refusal = openFolderRefusal(openedFolder)) {
        return sentence("The recorded folder ", folder, *refusal) + kNothingDeleted;
    }
    return linkProblem(folder);
}

std::optional<std::string> installRefusalReason(const std::string& folder) {
    if (auto refusal = folderRefusal(folder))
        return sentence("The folder ", folder, *refusal) + kChooseAnother;
    return std::nullopt;
}

}  // namespace platform
