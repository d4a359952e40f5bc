#include "zip_listing.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include <zlib.h>

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
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr unsigned kStored = 0;
constexpr unsigned kDeflated = 8;

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
    entry.method = u16(bytes, at + 10);
    entry.crc = u32(bytes, at + 16);
    entry.packedSize = u32(bytes, at + 20);
    entry.size = u32(bytes, at + 24);
    entry.localHeader = u32(bytes, at + 42);
    at = next;
    return entry;
}

std::optional<std::vector<ZipEntry>> listEntries(const ArchiveFile& file) {
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

// Where the entry's data begins, after its local header; nullopt when the header is not there.
std::optional<std::uint64_t> dataOffset(const ArchiveFile& file, const ZipEntry& entry) {
    const auto header = file.read(entry.localHeader, kLocalHeaderSize);
    if (!header || u32(*header, 0) != kLocalSignature) return std::nullopt;
    return entry.localHeader + kLocalHeaderSize + u16(*header, 26) + u16(*header, 28);
}

std::optional<std::string> inflateRaw(const Bytes& packed, std::size_t size) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
    std::string out(size, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    if (!whole) return std::nullopt;
    return out;
}

std::optional<std::string> unpack(const ArchiveFile& file, const ZipEntry& entry) {
    const auto offset = dataOffset(file, entry);
    if (!offset) return std::nullopt;
    const auto packed = file.read(*offset, static_cast<std::size_t>(entry.packedSize));
    if (!packed) return std::nullopt;
    std::optional<std::string> contents;
    if (entry.method == kStored && entry.packedSize == entry.size) contents = *packed;
    if (entry.method == kDeflated) contents = inflateRaw(*packed, static_cast<std::size_t>(entry.size));
    if (!contents) return std::nullopt;
    const auto* data = reinterpret_cast<const Bytef*>(contents->data());
    if (crc32(0, data, static_cast<uInt>(contents->size())) != entry.crc) return std::nullopt;
    return contents;
}

}  // namespace

std::optional<std::vector<ZipEntry>> listZipEntries(const std::string& archive) {
    return listEntries(ArchiveFile(archive));
}

std::optional<std::string> readZipMember(const std::string& archive, std::string_view name,
                                         std::size_t maxSize) {
    const ArchiveFile file(archive);
    const auto entries = listEntries(file);
    if (!entries) return std::nullopt;
    for (const ZipEntry& entry : *entries) {
        if (entry.name != name) continue;
        if (entry.size > maxSize || entry.packedSize > maxSize + maxSize / 8 + 64) return std::nullopt;
        return unpack(file, entry);
    }
    return std::nullopt;
}

}  // namespace platform
