#pragma once
// What a ZIP archive holds, read from its central directory without unpacking anything, so
// that an archive can be checked before the extractor runs.

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ZipEntry {
    std::string name;        // as stored: bytes of the archive, '/' separated, not checked
    unsigned mode = 0;       // unix mode from external attributes, 0 if none
    bool isSymlink = false;  // the mode says symbolic link
};

// Reads an archive's central directory (end-of-central-directory record, ZIP64 not needed);
// nullopt when the file is not a readable ZIP archive: missing, truncated, a directory that
// points outside the file or does not hold the number of entries it announces, a ZIP64 or
// multi-volume archive. Pure file parsing, no external tool. Entries come in stored order.
std::optional<std::vector<ZipEntry>> listZipEntries(const std::string& archive);

}  // namespace platform
