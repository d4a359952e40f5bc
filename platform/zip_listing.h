#pragma once
// What a ZIP archive holds, read from its central directory without unpacking anything, so
// that an archive can be checked before the extractor runs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ZipEntry {
    std::string name;        // as stored: bytes of the archive, '/' separated, not checked
    unsigned mode = 0;       // unix mode from external attributes, 0 if none
    bool isSymlink = false;  // the mode says symbolic link
    // Where and how the contents are stored, as the central directory says.
    unsigned method = 0;     // 0 stored, 8 deflated
    std::uint32_t crc = 0;
    std::uint64_t packedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localHeader = 0;  // offset of the entry's local header
};

// Reads an archive's central directory (end-of-central-directory record, ZIP64 not needed);
// nullopt when the file is not a readable ZIP archive: missing, truncated, a directory that
// points outside the file or does not hold the number of entries it announces, a ZIP64 or
// multi-volume archive. Pure file parsing, no external tool. Entries come in stored order.
std::optional<std::vector<ZipEntry>> listZipEntries(const std::string& archive);

// The contents of the first entry named exactly name (stored or deflated), read into memory
// without writing anything; nullopt when the archive is unreadable, holds no such entry,
// stores it another way, announces more than maxSize bytes, or when the bytes do not
// unpack to the announced size and checksum.
std::optional<std::string> readZipMember(const std::string& archive, std::string_view name,
                                         std::size_t maxSize);

}  // namespace platform
