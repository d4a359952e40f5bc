#pragma once
// ZIP archives written byte by byte, for the hostile archives no archiver makes: extra fields
// that type or name an entry, a local header that names another file, modes of every kind.
// Members are stored (method 0).

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

inline std::uint32_t zipCrc(const std::string& bytes) {
    std::uint32_t crc = 0xffffffffU;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320U & (0U - (crc & 1U)));
    }
    return ~crc;
}

inline void putLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
}

// One extra field: its id, its size and its data.
inline std::string zipExtra(unsigned id, const std::string& data) {
    std::string field;
    putLe(field, id, 2);
    putLe(field, data.size(), 2);
    return field + data;
}

// The ASi field: its CRC over what follows, the mode, the link's size, owner, group and the
// link target.
inline std::string asiExtra(unsigned mode, const std::string& linkTarget = {}) {
    std::string body;
    putLe(body, mode, 2);
    putLe(body, linkTarget.size(), 4);
    putLe(body, 0, 2);
    putLe(body, 0, 2);
    body += linkTarget;
    std::string data;
    putLe(data, zipCrc(body), 4);
    return zipExtra(0x756e, data + body);
}

// The Unicode Path field, version 1, with the CRC of the header's name it stands for.
inline std::string unicodePathExtra(const std::string& headerName, const std::string& name) {
    std::string data(1, '\x01');
    putLe(data, zipCrc(headerName), 4);
    return zipExtra(0x7075, data + name);
}

struct ZipMember {
    std::string name;
    std::string data;
    unsigned mode = 0100644;   // in the external attributes' high half
    std::string centralExtra;  // extra fields of the directory entry
    std::string localExtra;    // extra fields of the local header
    std::string localName;     // the local header's name; empty: the same as name
    unsigned madeBy = 3 << 8;  // unix
};

inline std::string zipArchive(const std::vector<ZipMember>& members) {
    std::string local, central;
    for (const ZipMember& member : members) {
        const std::string localName = member.localName.empty() ? member.name : member.localName;
        const std::uint32_t crc = zipCrc(member.data);
        const std::uint64_t offset = local.size();
        putLe(local, 0x04034b50, 4);
        putLe(local, 10, 2);
        putLe(local, 0, 2);
        putLe(local, 0, 2);
        putLe(local, 0, 4);
        putLe(local, crc, 4);
        putLe(local, member.data.size(), 4);
        putLe(local, member.data.size(), 4);
        putLe(local, localName.size(), 2);
        putLe(local, member.localExtra.size(), 2);
        local += localName + member.localExtra + member.data;
        putLe(central, 0x02014b50, 4);
        putLe(central, member.madeBy | 20, 2);
        putLe(central, 10, 2);
        putLe(central, 0, 2);
        putLe(central, 0, 2);
        putLe(central, 0, 4);
        putLe(central, crc, 4);
        putLe(central, member.data.size(), 4);
        putLe(central, member.data.size(), 4);
        putLe(central, member.name.size(), 2);
        putLe(central, member.centralExtra.size(), 2);
        putLe(central, 0, 2);
        putLe(central, 0, 2);
        putLe(central, 0, 2);
        putLe(central, static_cast<std::uint64_t>(member.mode) << 16, 4);
        putLe(central, offset, 4);
        central += member.name + member.centralExtra;
    }
    std::string end;
    putLe(end, 0x06054b50, 4);
    putLe(end, 0, 4);
    putLe(end, members.size(), 2);
    putLe(end, members.size(), 2);
    putLe(end, central.size(), 4);
    putLe(end, local.size(), 4);
    putLe(end, 0, 2);
    return local + central + end;
}

}  // namespace testing_support
