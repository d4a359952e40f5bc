#include "guarded_folder.h"

#include <fcntl.h>

#include <algorithm>

#include "paths.h"
#include "resolved_folder.h"

namespace platform {

namespace {

// Deeper than any real tree; ends the walk up should ".." never reach a root.
constexpr std::size_t kMostLevels = 4096;

void addTexts(GuardedFolder& guarded, const std::string& text) {
    if (std::find(guarded.texts.begin(), guarded.texts.end(), text) != guarded.texts.end()) return;
    guarded.texts.push_back(text);
    for (std::string& above : ancestorsOf(text)) guarded.aboveTexts.push_back(std::move(above));
}

GuardedFolder guardedForm(const ProtectedFolder& folder, const FileSystemPlaces& places) {
    GuardedFolder guarded{&folder, std::nullopt, {}, {}, {}, {}};
    addTexts(guarded, absoluteFolder(folder.path));
    const std::string resolved = resolvedFolder(folder.path);
    addTexts(guarded, resolved);
    if (const FileDescriptor open = openFile(folder.path, O_PATH | O_DIRECTORY)) {
        std::vector<FileIdentity> chain = identityChain(open.get());
        if (!chain.empty()) {
            guarded.identity = chain.front();
            guarded.aboveIdentities.assign(chain.begin() + 1, chain.end());
        }
        guarded.places = places.of(open.get());
    } else {
        guarded.places = places.ofPath(resolved);
    }
    return guarded;
}

}  // namespace

std::vector<GuardedFolder> guardedFolders(const std::vector<ProtectedFolder>& folders,
                                          const FileSystemPlaces& places) {
    std::vector<GuardedFolder> guarded;
    for (const ProtectedFolder& folder : folders) {
        if (!folder.path.empty()) guarded.push_back(guardedForm(folder, places));
    }
    return guarded;
}

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

}  // namespace platform
