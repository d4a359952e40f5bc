#pragma once
// The distribution's archives and the checks around their extraction.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stray_files.h"
#include "platform/system.h"
#include "platform/zip_listing.h"

namespace engine {

class Archives {
public:
    virtual ~Archives() = default;

    // An archive's entries (platform::listZipEntries; throws platform::EZipListingError).
    virtual std::vector<platform::ZipEntry> listArchive(const std::string& archive) = 0;
    // The archive opened for reading without waiting (a named pipe in its place does not
    // block); an invalid descriptor when it cannot be opened.
    virtual platform::FileDescriptor openArchive(const std::string& archive) = 0;
    // What stands in the folder or below it that is no regular file or folder, found without
    // following a link; with removeLinks the links are removed (platform::findStrayFiles;
    // throws platform::ESystemError when a folder cannot be walked).
    virtual std::vector<platform::StrayFile> findStrayFiles(const std::string& folder,
                                                            bool removeLinks) = 0;
    // One member of an archive, when the archive is a regular file whose listing can be read
    // and the member is there, intact and at most limit bytes (platform::readZipMember).
    virtual std::optional<std::string> readArchiveMember(const std::string& archive,
                                                         std::string_view member,
                                                         std::size_t limit) = 0;
};

}  // namespace engine
