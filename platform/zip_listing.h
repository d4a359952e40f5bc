#pragma once
// What a ZIP archive holds, read from its central directory without unpacking anything, so
// that an archive can be checked before the extractor runs, and what it unpacked checked
// after.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>
#include "base/errors.h"

namespace platform {

struct ZipEntry {
    std::string name;        // as stored: bytes of the archive, '/' separated, not checked
    unsigned mode = 0;       // unix mode from external attributes, else an ASi field; 0 if none
    bool isSymlink = false;  // the mode, an ASi field or a Unix field's link target says link
    // Where and how the contents are stored, as the central directory says (32-bit fields;
    // a member whose sizes live in a ZIP64 extra field is not read into memory).
    unsigned method = 0;  // 0 stored, 8 deflated
    std::uint32_t crc = 0;
    std::uint64_t packedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localHeader = 0;  // offset of the entry's local header (ZIP64 field read)
};

// Why an archive's listing cannot be read; what() is a phrase for the user ("it is a
// multi-volume archive").
class EZipListingError : public base::Exception {
public:
    using Exception::Exception;
};

// The bytes of an archive, read at any offset.
class ZipBytes {
public:
    virtual ~ZipBytes() = default;
    virtual std::uint64_t size() const = 0;
    // Exactly count bytes from offset, or nullopt.
    virtual std::optional<std::string> read(std::uint64_t offset, std::size_t count) const = 0;
};

// The largest central directory that is read: 64 MiB (about a million entries).
constexpr std::size_t kLargestZipDirectory = std::size_t{64} << 20;

// Reads the archive's central directory as the extractor reads it, entries in stored order:
// - the end record is the last one in the file whose comment fits;
// - a ZIP64 archive's directory is found through its ZIP64 locator and end record;
// - bytes in front of the archive (a self-extracting stub, anything prepended) are allowed:
//   the directory is taken where the end record says it ends, as the extractor does;
// - every entry of the directory is listed, also entries beyond the count the end record
//   announces, and the counts must agree;
// - every place that gives an entry its name or type is read, since the extractor may take
//   any of them: the directory entry with its extra fields (ASi 0x756e, Unicode Path
//   0x7075, PKWARE Unix 0x000d), and the local header with its name and extra fields.
// Throws EZipListingError for what cannot be read or checked: no end record, a multi-volume
// archive, a directory outside the file or larger than kLargestZipDirectory, a damaged or
// miscounted directory, a damaged extra field, a missing local header, a name holding a NUL
// byte (the extractor would cut it there), names that differ
// between those places (a Unicode Path field or a local header naming another file), or
// file types that differ. Pure parsing, no external tool.
std::vector<ZipEntry> listZipEntries(const ZipBytes& archive);

// The same for an archive held in memory.
std::vector<ZipEntry> listZipEntriesIn(std::string_view archive);

// The same for a file (a "/dev/fd/N" path reads that open descriptor); a file that cannot be
// opened, or is no regular file, throws EZipListingError too (never waiting on a pipe).
std::vector<ZipEntry> listZipEntries(const std::string& archive);

// The contents of the first entry named exactly name (stored or deflated), read into memory
// without writing anything; nullopt when the archive's listing cannot be read, it holds no
// such entry, stores it another way, announces more than maxSize bytes, the entry lies
// where its directory does not say (bytes in front of the archive), or the bytes do not
// unpack to the announced size and checksum.
std::optional<std::string> readZipMember(const std::string& archive, std::string_view name,
                                         std::size_t maxSize);

// The same for an archive held in memory.
std::optional<std::string> readZipMemberIn(std::string_view archive, std::string_view name,
                                           std::size_t maxSize);

// Where the extractor puts an entry below its target folder: the name without leading '/',
// without empty, "." and ".." parts ("/../a//./b" -> "a/b"); empty for none.
std::string unpackedPath(std::string_view entryName);

}  // namespace platform
