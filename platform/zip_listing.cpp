#include "zip_listing.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "system.h"

namespace platform {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kEntrySize = 46;
constexpr std::size_t kLongestComment = 0xffff;
constexpr unsigned kUnixHost = 3;
constexpr unsigned kTypeBits = 0170000;

using Bytes = std::string;

std::uint16_t u16(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t u32(const Bytes& bytes, std::size_t at) {
    return u16(bytes, at) | static_cast<std::uint32_t>(u16(bytes, at + 2)) << 16;
}

class ArchiveFile {
public:
    explicit ArchiveFile(const std::string& path) : m_file(openFile(path, O_RDONLY | O_NONBLOCK)) {}

    // The file's size when it is an open regular file (only those can be read at offsets;
    // the open never waits for a named pipe's writer).
    std::optional<std::uint64_t> size() const {
        const auto identity = m_file ? identityOf(m_file.get()) : std::nullopt;
        if (!identity || !S_ISREG(identity->mode)) return std::nullopt;
        return identity->size;
    }

    // Exactly count bytes from offset, or nullopt.
    std::optional<Bytes> read(std::uint64_t offset, std::size_t count) const {
        Bytes bytes(count, '\0');
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got = retried([&] {
                return ::pread(m_file.get(), bytes.data() + done, count - done,
                               static_cast<off_t>(offset + done));
            });
            if (got <= 0) return std::nullopt;
            done += static_cast<std::size_t>(got);
        }
        return bytes;
    }

private:
    FileDescriptor m_file;
};

struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::size_t entries = 0;
};

// The position in tail of the last end record whose comment fits in the file.
std::optional<std::size_t> findEndRecord(const Bytes& tail) {
    if (tail.size() < kEndSize) return std::nullopt;
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        if (u32(tail, at) == kEndSignature && at + kEndSize + u16(tail, at + 20) <= tail.size()) {
            return at;
        }
    }
    return std::nullopt;
}

// The central directory that the end record at tail[at] (file offset endOffset) describes.
std::optional<Directory> readEndRecord(const Bytes& tail, std::size_t at, std::uint64_t endOffset) {
    const bool oneVolume =
        u16(tail, at + 4) == 0 && u16(tail, at + 6) == 0 && u16(tail, at + 8) == u16(tail, at + 10);
    const bool zip64 =
        u16(tail, at + 10) == 0xffff || u32(tail, at + 12) == 0xffffffff ||
        u32(tail, at + 16) == 0xffffffff ||
        (at >= kZip64LocatorSize && u32(tail, at - kZip64LocatorSize) == kZip64LocatorSignature);
    if (!oneVolume || zip64) return std::nullopt;
    Directory directory{u32(tail, at + 16), u32(tail, at + 12), u16(tail, at + 10)};
    if (directory.offset + directory.size > endOffset) return std::nullopt;
    return directory;
}

std::optional<Directory> locateDirectory(const ArchiveFile& file, std::uint64_t size) {
    const std::size_t tailSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndSize + kLongestComment));
    const auto tail = file.read(size - tailSize, tailSize);
    if (!tail) return std::nullopt;
    const auto at = findEndRecord(*tail);
    if (!at) return std::nullopt;
    return readEndRecord(*tail, *at, size - tailSize + *at);
}

unsigned unixMode(std::uint16_t madeBy, std::uint32_t externalAttributes) {
    const unsigned mode = externalAttributes >> 16;
    // Some archivers of other hosts store a unix mode as well; one with a file type is
    // taken, so that no symbolic link goes unnoticed.
    const unsigned type = mode & kTypeBits;
    const bool knownType = type == S_IFREG || type == S_IFDIR || type == S_IFLNK;
    return (madeBy >> 8) == kUnixHost || knownType ? mode : 0;
}

// The entry at bytes[at]; at is moved past it. nullopt when it does not fit.
std::optional<ZipEntry> readEntry(const Bytes& bytes, std::size_t& at) {
    if (at + kEntrySize > bytes.size() || u32(bytes, at) != kEntrySignature) return std::nullopt;
    const std::size_t nameLength = u16(bytes, at + 28);
    const std::size_t next =
        at + kEntrySize + nameLength + u16(bytes, at + 30) + u16(bytes, at + 32);
    if (next > bytes.size()) return std::nullopt;
    ZipEntry entry;
    entry.name = bytes.substr(at + kEntrySize, nameLength);
    entry.mode = unixMode(u16(bytes, at + 4), u32(bytes, at + 38));
    entry.isSymlink = (entry.mode & kTypeBits) == S_IFLNK;
    at = next;
    return entry;
}

}  // namespace

std::optional<std::vector<ZipEntry>> listZipEntries(const std::string& archive) {
    const ArchiveFile file(archive);
    const auto size = file.size();
    if (!size) return std::nullopt;
    const auto directory = locateDirectory(file, *size);
    if (!directory) return std::nullopt;
    const auto bytes = file.read(directory->offset, static_cast<std::size_t>(directory->size));
    if (!bytes) return std::nullopt;
    std::vector<ZipEntry> entries;
    std::size_t at = 0;
    for (std::size_t i = 0; i < directory->entries; ++i) {
        auto entry = readEntry(*bytes, at);
        if (!entry) return std::nullopt;
        entries.push_back(std::move(*entry));
    }
    return entries;
}

}  // namespace platform
