#include "protected_identities.h"

#include <functional>
#include <vector>

#include "file_system_places.h"
#include "guarded_folder.h"
#include "paths.h"

namespace platform {

namespace {

// The folders above place on its file system that some mount shows, except those seen before
// (the protected folders share most of them; once one is seen, so were those above it).
std::vector<FileIdentity> aboveIdentities(const FileSystemPlaces& places, const Place& place,
                                          std::set<std::pair<std::uint64_t, std::string>>& seen) {
    std::vector<FileIdentity> identities;
    for (std::string& above : ancestorsOf(place.path)) {
        if (!seen.emplace(place.fileSystem, above).second) break;
        if (auto identity = places.identityOf(Place{place.fileSystem, std::move(above)})) {
            identities.push_back(*identity);
        }
    }
    return identities;
}

}  // namespace

ProtectedIdentities ProtectedIdentities::collect() {
    const FileSystemPlaces places(MountInfo::read());
    const std::vector<ProtectedFolder> folders = protectedFolders(places.mounts());
    const std::vector<GuardedFolder> guarded = guardedFolders(folders, places);
    ProtectedIdentities identities;
    // What a folder is comes before what it holds, as in the guard's reasons.
    for (const GuardedFolder& folder : guarded) identities.addFolder(folder, places);
    SeenPlaces seen;
    for (const GuardedFolder& folder : guarded) identities.addFoldersAbove(folder, places, seen);
    return identities;
}

void ProtectedIdentities::addFolder(const GuardedFolder& folder, const FileSystemPlaces& places) {
    const std::string why = "is " + folder.folder->isText;
    if (folder.identity) add(*folder.identity, why);
    for (const Place& place : folder.places) {
        if (auto identity = places.identityOf(place)) add(*identity, why);
    }
}

void ProtectedIdentities::addFoldersAbove(const GuardedFolder& folder,
                                          const FileSystemPlaces& places, SeenPlaces& seen) {
    const std::string why = "contains " + folder.folder->containsText;
    for (const FileIdentity& identity : folder.aboveIdentities) add(identity, why);
    for (const Place& place : folder.places) {
        for (const FileIdentity& identity : aboveIdentities(places, place, seen))
            add(identity, why);
    }
}

const std::string* ProtectedIdentities::find(const FileIdentity& identity) const {
    const auto found = m_reasons.find({identity.device, identity.inode});
    return found == m_reasons.end() ? nullptr : &found->second;
}

std::size_t ProtectedIdentities::KeyHash::operator()(
    const std::pair<std::uint64_t, std::uint64_t>& key) const {
    return std::hash<std::uint64_t>()(key.first * 0x9e3779b97f4a7c15ULL ^ key.second);
}

void ProtectedIdentities::add(const FileIdentity& identity, const std::string& why) {
    m_reasons.emplace(std::make_pair(identity.device, identity.inode), why);
}

}  // namespace platform
