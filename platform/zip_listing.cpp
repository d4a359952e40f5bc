#include "zip_listing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "system.h"
#include "zip_fields.h"

namespace platform {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kEntrySize = 46;
constexpr std::size_t kLongestComment = 0xffff;
constexpr unsigned kUnixHost = 3;
constexpr unsigned kTypeBits = 0170000;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr unsigned kStored = 0;
constexpr unsigned kDeflated = 8;

std::uint16_t u16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t u32(std::string_view bytes, std::size_t at) {
    return u16(bytes, at) | static_cast<std::uint32_t>(u16(bytes, at + 2)) << 16;
}

std::uint64_t u64(std::string_view bytes, std::size_t at) {
    return u32(bytes, at) | static_cast<std::uint64_t>(u32(bytes, at + 4)) << 32;
}

[[noreturn]] void refuse(const std::string& why) { throw EZipListingError(why); }

std::string readOrRefuse(const ZipBytes& archive, std::uint64_t offset, std::size_t count) {
    auto bytes = archive.read(offset, count);
    if (!bytes) refuse("its directory lies outside the file");
    return std::move(*bytes);
}

// Where the directory is meant to be, as the end records tell it.
struct Directory {
    std::uint64_t offset = 0;  // as recorded, before any bytes in front are allowed for
    std::uint64_t size = 0;
    std::uint64_t entries = 0;
    std::uint64_t end = 0;  // where the directory really ends: the first end record
    bool zip64 = false;
};

// The position in tail of the last end record whose comment fits in the file.
std::optional<std::size_t> findEndRecord(std::string_view tail) {
    if (tail.size() < kEndSize) return std::nullopt;
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        if (u32(tail, at) == kEndSignature && at + kEndSize + u16(tail, at + 20) <= tail.size()) {
            return at;
        }
    }
    return std::nullopt;
}

void requireOneVolume(bool oneVolume) {
    if (!oneVolume) refuse("it is part of a multi-volume archive, which cannot be checked");
}

// The ZIP64 end record that the locator just before the end record (at endOffset) names.
// With bytes in front of the archive the recorded offset is off by their count; the record
// then lies right before the locator, where it is looked for first.
Directory readZip64(const ZipBytes& archive, std::uint64_t endOffset) {
    if (endOffset < kZip64LocatorSize + kZip64EndSize) refuse("its ZIP64 directory is missing");
    const std::uint64_t locatorOffset = endOffset - kZip64LocatorSize;
    const std::string locator = readOrRefuse(archive, locatorOffset, kZip64LocatorSize);
    if (u32(locator, 0) != kZip64LocatorSignature) refuse("its ZIP64 directory is missing");
    requireOneVolume(u32(locator, 4) == 0 && u32(locator, 16) <= 1);
    for (const std::uint64_t at : {locatorOffset - kZip64EndSize, u64(locator, 8)}) {
        if (at > locatorOffset - kZip64EndSize) continue;
        const std::string record = readOrRefuse(archive, at, kZip64EndSize);
        if (u32(record, 0) != kZip64EndSignature) continue;
        requireOneVolume(u32(record, 16) == 0 && u32(record, 20) == 0 &&
                         u64(record, 24) == u64(record, 32));
        return {u64(record, 48), u64(record, 40), u64(record, 32), at, true};
    }
    refuse("its ZIP64 directory is missing");
}

Directory readEndRecords(const ZipBytes& archive) {
    const std::uint64_t size = archive.size();
    const std::size_t tailSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndSize + kLongestComment));
    const std::string tail = readOrRefuse(archive, size - tailSize, tailSize);
    const auto at = findEndRecord(tail);
    if (!at) refuse("it is not a ZIP archive (it has no end record)");
    const std::string_view end = std::string_view(tail).substr(*at, kEndSize);
    const std::uint64_t endOffset = size - tailSize + *at;
    const bool marked = u16(end, 8) == 0xffff || u16(end, 10) == 0xffff ||
                        u32(end, 12) == 0xffffffff || u32(end, 16) == 0xffffffff;
    const bool located =
        *at >= kZip64LocatorSize && u32(tail, *at - kZip64LocatorSize) == kZip64LocatorSignature;
    if (marked || located) return readZip64(archive, endOffset);
    requireOneVolume(u16(end, 4) == 0 && u16(end, 6) == 0 && u16(end, 8) == u16(end, 10));
    return {u32(end, 16), u32(end, 12), u16(end, 10), endOffset, false};
}

unsigned unixMode(std::uint16_t madeBy, std::uint32_t externalAttributes) {
    const unsigned mode = externalAttributes >> 16;
    // Some archivers of other hosts store a unix mode as well; one with a file type is
    // taken, so that no symbolic link goes unnoticed.
    const unsigned type = mode & kTypeBits;
    const bool knownType = type == S_IFREG || type == S_IFDIR || type == S_IFLNK;
    return (madeBy >> 8) == kUnixHost || knownType ? mode : 0;
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// Every place that names the entry must name it alike: the extractor takes whichever it
// trusts, and the check must see the file it will really write.
void requireSameNames(const ZipEntry& entry, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (name != entry.name) {
            refuse("its entry " + quoted(entry.name) + " is also named " + quoted(name) +
                   ", and the two names disagree");
        }
    }
}

// Takes the types the ASi fields give into the entry: the extractor uses one where the
// attributes give no type. Two places that give different types are refused.
void takeTypes(ZipEntry& entry, const ExtraFields& fields) {
    for (const unsigned mode : fields.asiModes) {
        const unsigned type = mode & kTypeBits;
        if (type == 0) continue;
        if ((entry.mode & kTypeBits) == 0) entry.mode = mode;
        if ((entry.mode & kTypeBits) != type) {
            refuse("its entry " + quoted(entry.name) + " is given different file types");
        }
    }
    if ((entry.mode & kTypeBits) == S_IFLNK || fields.unixLinkTarget) entry.isSymlink = true;
}

// The local header's offset: a ZIP64 field holds it when the 32-bit field is full, after
// the sizes that are full too.
std::uint64_t localHeaderOffset(std::string_view bytes, std::size_t at, const ExtraFields& fields) {
    const std::uint32_t offset = u32(bytes, at + 42);
    if (offset != 0xffffffff) return offset;
    const std::size_t index =
        (u32(bytes, at + 24) == 0xffffffff) + (u32(bytes, at + 20) == 0xffffffff);
    if (index >= fields.zip64Values.size()) refuse("an entry of its directory has no ZIP64 offset");
    return fields.zip64Values[index];
}

// The entry at bytes[at]; at is moved past it. nullopt when none starts there.
std::optional<ZipEntry> readEntry(std::string_view bytes, std::size_t& at) {
    if (at + kEntrySize > bytes.size() || u32(bytes, at) != kEntrySignature) return std::nullopt;
    const std::size_t nameLength = u16(bytes, at + 28);
    const std::size_t extraLength = u16(bytes, at + 30);
    const std::size_t next = at + kEntrySize + nameLength + extraLength + u16(bytes, at + 32);
    if (next > bytes.size()) refuse("an entry of its directory is cut short");
    ZipEntry entry;
    entry.name = bytes.substr(at + kEntrySize, nameLength);
    // The extractor reads a name as a C string: the part after a NUL is a name the check
    // would see and the extractor not.
    if (entry.name.find('\0') != std::string::npos)
        refuse("the name of one of its entries holds a NUL byte");
    const ExtraFields fields =
        readExtraFields(bytes.substr(at + kEntrySize + nameLength, extraLength));
    entry.mode = unixMode(u16(bytes, at + 4), u32(bytes, at + 38));
    requireSameNames(entry, fields.unicodeNames);
    takeTypes(entry, fields);
    entry.method = u16(bytes, at + 10);
    entry.crc = u32(bytes, at + 16);
    entry.packedSize = u32(bytes, at + 20);
    entry.size = u32(bytes, at + 24);
    entry.localHeader = localHeaderOffset(bytes, at, fields);
    at = next;
    return entry;
}

// Every entry from the start of bytes on, as long as entries follow one another.
std::vector<ZipEntry> readEntries(std::string_view bytes) {
    std::vector<ZipEntry> entries;
    std::size_t at = 0;
    while (auto entry = readEntry(bytes, at)) entries.push_back(std::move(*entry));
    return entries;
}

// The directory's first byte: where the end record says, moved by the bytes in front of
// the archive (the gap between where the directory should end and where it does).
std::uint64_t directoryStart(const Directory& directory) {
    if (directory.offset > directory.end || directory.size > directory.end - directory.offset) {
        refuse("its directory lies outside the file");
    }
    return directory.end - directory.size;
}

bool countsAgree(const Directory& directory, std::size_t found) {
    // Old archivers wrote the count of more than 65,535 entries cut to 16 bits.
    return directory.zip64 ? found == directory.entries : (found & 0xffff) == directory.entries;
}

// A file opened for reading at offsets; only a regular file qualifies.
class ArchiveFile : public ZipBytes {
public:
    explicit ArchiveFile(const std::string& path) : m_file(openFile(path, O_RDONLY | O_NONBLOCK)) {
        if (!m_file) refuse(std::string("it cannot be opened (") + std::strerror(errno) + ")");
        const auto identity = identityOf(m_file.get());
        if (!identity || !S_ISREG(identity->mode)) refuse("it is not a regular file");
        m_size = identity->size;
    }
    std::uint64_t size() const override { return m_size; }
    std::optional<std::string> read(std::uint64_t offset, std::size_t count) const override {
        if (offset > m_size || count > m_size - offset) return std::nullopt;
        std::string bytes(count, '\0');
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
    std::uint64_t m_size = 0;
};

class ArchiveInMemory : public ZipBytes {
public:
    explicit ArchiveInMemory(std::string_view bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    std::optional<std::string> read(std::uint64_t offset, std::size_t count) const override {
        if (offset > m_bytes.size() || count > m_bytes.size() - offset) return std::nullopt;
        return std::string(m_bytes.substr(offset, count));
    }

private:
    std::string_view m_bytes;
};

// Where the entry's data begins, after its local header; nullopt when the header is not there.
std::optional<std::uint64_t> dataOffset(const ZipBytes& archive, const ZipEntry& entry) {
    const auto header = archive.read(entry.localHeader, kLocalHeaderSize);
    if (!header || u32(*header, 0) != kLocalSignature) return std::nullopt;
    return entry.localHeader + kLocalHeaderSize + u16(*header, 26) + u16(*header, 28);
}

std::optional<std::string> inflateRaw(const std::string& packed, std::size_t size) {
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

std::optional<std::string> unpack(const ZipBytes& archive, const ZipEntry& entry) {
    const auto offset = dataOffset(archive, entry);
    if (!offset) return std::nullopt;
    const auto packed = archive.read(*offset, static_cast<std::size_t>(entry.packedSize));
    if (!packed) return std::nullopt;
    std::optional<std::string> contents;
    if (entry.method == kStored && entry.packedSize == entry.size) contents = *packed;
    if (entry.method == kDeflated)
        contents = inflateRaw(*packed, static_cast<std::size_t>(entry.size));
    if (!contents) return std::nullopt;
    const auto* data = reinterpret_cast<const Bytef*>(contents->data());
    if (crc32(0, data, static_cast<uInt>(contents->size())) != entry.crc) return std::nullopt;
    return contents;
}

std::optional<std::string> readMember(const ZipBytes& archive, std::string_view name,
                                      std::size_t maxSize) {
    for (const ZipEntry& entry : listZipEntries(archive)) {
        if (entry.name != name) continue;
        if (entry.size > maxSize || entry.packedSize > maxSize + maxSize / 8 + 64)
            return std::nullopt;
        return unpack(archive, entry);
    }
    return std::nullopt;
}

// The entry's local header, where the extractor finds it (moved by the bytes in front of
// the archive), must name and type the entry as its directory entry does.
void judgeLocalHeader(const ZipBytes& archive, ZipEntry& entry, std::uint64_t shift) {
    const auto header = archive.read(entry.localHeader + shift, kLocalHeaderSize);
    if (!header || u32(*header, 0) != kLocalSignature) {
        refuse("the local header of its entry " + quoted(entry.name) + " is missing");
    }
    const std::size_t nameLength = u16(*header, 26);
    const auto rest =
        archive.read(entry.localHeader + shift + kLocalHeaderSize, nameLength + u16(*header, 28));
    if (!rest) refuse("the local header of its entry " + quoted(entry.name) + " is cut short");
    requireSameNames(entry, {rest->substr(0, nameLength)});
    const ExtraFields fields = readExtraFields(std::string_view(*rest).substr(nameLength));
    requireSameNames(entry, fields.unicodeNames);
    takeTypes(entry, fields);
}

}  // namespace

std::vector<ZipEntry> listZipEntries(const ZipBytes& archive) {
    const Directory directory = readEndRecords(archive);
    const std::uint64_t start = directoryStart(directory);
    if (directory.end - start > kLargestZipDirectory) refuse("its directory is too large");
    const std::string bytes = readOrRefuse(archive, start, directory.end - start);
    std::vector<ZipEntry> entries = readEntries(bytes);
    if (!countsAgree(directory, entries.size())) {
        refuse("its directory does not hold the " + std::to_string(directory.entries) +
               " entries it announces");
    }
    for (ZipEntry& entry : entries) judgeLocalHeader(archive, entry, start - directory.offset);
    return entries;
}

std::vector<ZipEntry> listZipEntriesIn(std::string_view archive) {
    return listZipEntries(ArchiveInMemory(archive));
}

std::vector<ZipEntry> listZipEntries(const std::string& archive) {
    return listZipEntries(ArchiveFile(archive));
}

std::optional<std::string> readZipMember(const std::string& archive, std::string_view name,
                                         std::size_t maxSize) {
    try {
        return readMember(ArchiveFile(archive), name, maxSize);
    } catch (const EZipListingError&) {
        return std::nullopt;
    }
}

std::optional<std::string> readZipMemberIn(std::string_view archive, std::string_view name,
                                           std::size_t maxSize) {
    try {
        return readMember(ArchiveInMemory(archive), name, maxSize);
    } catch (const EZipListingError&) {
        return std::nullopt;
    }
}

}  // namespace platform
