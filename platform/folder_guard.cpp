#include "folder_guard.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

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

// Deeper than any real tree; ends the walk up should ".." never reach a root.
constexpr std::size_t kMostLevels = 4096;

// One folder on the way from the folder asked about up to the root.
struct Level {
    std::optional<FileIdentity> identity;  // when it exists
    std::string text;                      // its absolute normal path; "" when unknown
};

// A protected folder with the forms it can be met in.
struct Guarded {
    const ProtectedFolder* folder;
    std::optional<FileIdentity> identity;
    std::vector<FileIdentity> aboveIdentities;
    std::vector<std::string> texts;
    std::vector<std::string> aboveTexts;
};

std::string currentFolder() {
    char* current = getcwd(nullptr, 0);
    if (current == nullptr) return "/";
    std::string folder = current;
    std::free(current);
    return folder;
}

std::optional<std::string> realPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string text = resolved;
    std::free(resolved);
    return text;
}

std::string parentOf(const std::string& normalPath) {
    const std::vector<std::string> above = ancestorsOf(normalPath);
    return above.empty() ? "/" : above.front();
}

// The identities of the folder open at descriptor and of every folder above it, nearest
// first, as ".." leads (across mounts, to the folder a mount sits on) up to the root.
std::vector<FileIdentity> identityChain(int descriptor) {
    std::vector<FileIdentity> chain;
    FileDescriptor held;
    int at = descriptor;
    while (chain.size() < kMostLevels) {
        const std::optional<FileIdentity> identity = identityOf(at);
        if (!identity || (!chain.empty() && chain.back().sameFile(*identity))) break;
        chain.push_back(*identity);
        FileDescriptor parent = openFileAt(at, "..", O_PATH | O_DIRECTORY);
        if (!parent) break;
        held = std::move(parent);
        at = held.get();
    }
    return chain;
}

// Levels for each text of path and the folders above it, with the identities of the
// deepest folder that exists and of those above it.
std::vector<Level> levelsOfPath(const std::string& resolved) {
    std::vector<Level> levels{{std::nullopt, resolved}};
    for (std::string& above : ancestorsOf(resolved)) levels.push_back({std::nullopt, std::move(above)});
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

std::vector<Level> levelsOfOpen(int descriptor) {
    const std::vector<FileIdentity> chain = identityChain(descriptor);
    std::vector<std::string> texts;
    if (const std::string path = currentPathOf(descriptor); !path.empty()) {
        texts.push_back(lexicallyNormal(path));
        for (std::string& above : ancestorsOf(texts.front())) texts.push_back(std::move(above));
    }
    // The names only count when they line up with the folders found through "..".
    if (texts.size() != chain.size()) texts.assign(chain.size(), std::string());
    std::vector<Level> levels;
    for (std::size_t i = 0; i < chain.size(); ++i) levels.push_back({chain[i], texts[i]});
    return levels;
}

void addTexts(Guarded& guarded, const std::string& text) {
    if (std::find(guarded.texts.begin(), guarded.texts.end(), text) != guarded.texts.end()) return;
    guarded.texts.push_back(text);
    for (std::string& above : ancestorsOf(text)) guarded.aboveTexts.push_back(std::move(above));
}

Guarded guardedForm(const ProtectedFolder& folder) {
    Guarded guarded{&folder, std::nullopt, {}, {}, {}};
    const std::string& path = folder.path;
    addTexts(guarded, lexicallyNormal(path.front() == '/' ? path : currentFolder() + "/" + path));
    addTexts(guarded, resolvedFolder(path));
    if (const FileDescriptor open = openFile(path, O_PATH | O_DIRECTORY)) {
        std::vector<FileIdentity> chain = identityChain(open.get());
        if (!chain.empty()) {
            guarded.identity = chain.front();
            guarded.aboveIdentities.assign(chain.begin() + 1, chain.end());
        }
    }
    return guarded;
}

std::vector<Guarded> guardedFolders(const std::vector<ProtectedFolder>& folders) {
    std::vector<Guarded> guarded;
    for (const ProtectedFolder& folder : folders) {
        if (!folder.path.empty()) guarded.push_back(guardedForm(folder));
    }
    return guarded;
}

bool holds(const std::vector<std::string>& texts, const std::string& text) {
    return !text.empty() && std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool sameByIdentity(const Level& level, const Guarded& guarded) {
    return level.identity && guarded.identity && level.identity->sameFile(*guarded.identity);
}

bool same(const Level& level, const Guarded& guarded) {
    return sameByIdentity(level, guarded) || holds(guarded.texts, level.text);
}

bool above(const Level& level, const Guarded& guarded) {
    if (level.identity) {
        for (const FileIdentity& identity : guarded.aboveIdentities) {
            if (level.identity->sameFile(identity)) return true;
        }
    }
    return holds(guarded.aboveTexts, level.text);
}

// Where the same folder is known by another path (a bind mount), that path is named too.
std::string sameFolderNote(const Level& level, const Guarded& guarded) {
    if (holds(guarded.texts, level.text) || guarded.texts.empty()) return {};
    return " (the same folder as " + guarded.texts.front() + ")";
}

// The first level above the folder that is a tree open below (/var/tmp); trees further up
// do not protect what lies below it.
std::size_t openBelowLevel(const std::vector<Level>& levels, const std::vector<Guarded>& guarded) {
    for (std::size_t i = 1; i < levels.size(); ++i) {
        for (const Guarded& folder : guarded) {
            if (folder.folder->protection == Protection::OpenBelow && same(levels[i], folder)) return i;
        }
    }
    return levels.size();
}

std::optional<std::string> belowTree(const std::vector<Level>& levels, const Guarded& guarded,
                                     std::size_t openBelow) {
    for (std::size_t i = 1; i < openBelow; ++i) {
        if (same(levels[i], guarded)) return "lies in " + guarded.folder->containsText;
    }
    return std::nullopt;
}

// A hidden folder of a home holds settings and keys; below ~/.local programs of the user's
// own may live. A name that cannot be told counts as hidden.
std::optional<std::string> inHiddenFolder(const std::vector<Level>& levels, const Guarded& home) {
    for (std::size_t i = 1; i < levels.size(); ++i) {
        if (!same(levels[i], home)) continue;
        const std::string name = fileNamePart(levels[i - 1].text);
        if (!name.empty() && name.front() != '.') continue;
        if (name == ".local" && i > 1) continue;
        const std::string hidden = name.empty() ? "a hidden folder" : "the hidden folder " + name;
        return (i == 1 ? "is " : "lies in ") + hidden + " of " + home.folder->containsText;
    }
    return std::nullopt;
}

// The folder is a protected folder or lies above one.
std::optional<std::string> sameOrAbove(const Level& folder, const Guarded& guarded) {
    if (same(folder, guarded)) return "is " + guarded.folder->isText + sameFolderNote(folder, guarded);
    if (above(folder, guarded)) return "contains " + guarded.folder->containsText;
    return std::nullopt;
}

// The folder lies where a protected folder's protection reaches below it.
std::optional<std::string> below(const std::vector<Level>& levels, const Guarded& guarded,
                                 std::size_t openBelow) {
    switch (guarded.folder->protection) {
    case Protection::WithEverythingBelow:
        return belowTree(levels, guarded, openBelow);
    case Protection::HomesInside:
        if (levels.size() > 1 && same(levels[1], guarded)) {
            return "is a home folder in " + guarded.texts.front();
        }
        return std::nullopt;
    case Protection::Home:
        return inHiddenFolder(levels, guarded);
    case Protection::Folder:
    case Protection::OpenBelow:
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Refusal> decide(const std::vector<Level>& levels) {
    if (levels.empty()) return Refusal{"", "cannot be looked at"};
    if (levels.size() == 1) return Refusal{levels.front().text, "is the root of the file system"};
    const std::vector<ProtectedFolder> folders = protectedFolders();
    const std::vector<Guarded> guarded = guardedFolders(folders);
    const std::size_t openBelow = openBelowLevel(levels, guarded);
    // What the folder is tells the user most; where it lies comes second.
    for (const Guarded& folder : guarded) {
        if (auto why = sameOrAbove(levels.front(), folder)) return Refusal{levels.front().text, *why};
    }
    for (const Guarded& folder : guarded) {
        if (auto why = below(levels, folder, openBelow)) return Refusal{levels.front().text, *why};
    }
    return std::nullopt;
}

// "The recorded folder X is ..." or, when X only leads there, "... X leads to Y, which is ...".
std::string sentence(const std::string& subject, const std::string& folder, const Refusal& refusal) {
    std::string written = folder;
    while (written.size() > 1 && written.back() == '/') written.pop_back();
    if (refusal.resolved.empty() || refusal.resolved == written) {
        return subject + folder + " " + refusal.why + ".";
    }
    return subject + folder + " leads to " + refusal.resolved + ", which " + refusal.why + ".";
}

// The empty, relative or unreadable texts the uninstall refuses before looking at the disc.
std::optional<std::string> textProblem(const std::string& folder) {
    if (folder.empty()) return std::string("No installation folder was recorded.") + kNothingDeleted;
    if (folder.find('\0') != std::string::npos) {
        return "The recorded folder is not a valid folder name." + std::string(kNothingDeleted);
    }
    if (folder.front() != '/') {
        return "The recorded folder " + folder + " is not a full path (it does not start with /)." +
               kNothingDeleted;
    }
    return std::nullopt;
}

}  // namespace

std::string resolvedFolder(const std::string& folder) {
    const std::string path = !folder.empty() && folder.front() == '/' ? folder : currentFolder() + "/" + folder;
    if (auto resolved = realPath(path)) return *resolved;
    std::string resolved = "/";
    for (const std::string& part : pathComponents(path)) {
        if (part == "..") {
            resolved = parentOf(resolved);
            continue;
        }
        const std::string next = resolved == "/" ? "/" + part : resolved + "/" + part;
        resolved = realPath(next).value_or(next);
    }
    return resolved;
}

std::optional<Refusal> folderRefusal(const std::string& folder) {
    return decide(levelsOfPath(resolvedFolder(folder)));
}

std::optional<Refusal> openFolderRefusal(int descriptor) { return decide(levelsOfOpen(descriptor)); }

std::optional<std::string> refusalReason(const std::string& folder) {
    if (auto problem = textProblem(folder)) return problem;
    if (auto refusal = folderRefusal(folder)) {
        return sentence("The recorded folder ", folder, *refusal) + kNothingDeleted;
    }
    return std::nullopt;
}

std::optional<std::string> refusalReason(const std::string& folder, int openedFolder) {
    if (auto problem = textProblem(folder)) return problem;
    if (auto refusal = openFolderRefusal(openedFolder)) {
        return sentence("The recorded folder ", folder, *refusal) + kNothingDeleted;
    }
    return std::nullopt;
}

std::optional<std::string> installRefusalReason(const std::string& folder) {
    if (auto refusal = folderRefusal(folder)) return sentence("The folder ", folder, *refusal) + kChooseAnother;
    return std::nullopt;
}

}  // namespace platform
