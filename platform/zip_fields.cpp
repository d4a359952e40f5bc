#include "zip_fields.h"

#include "zip_listing.h"

namespace platform {

namespace {

constexpr unsigned kZip64Id = 0x0001;
constexpr unsigned kUnixId = 0x000d;
constexpr unsigned kAsiId = 0x756e;
constexpr unsigned kUnicodePathId = 0x7075;
constexpr std::size_t kFieldHeader = 4;
constexpr std::size_t kUnixFixedPart = 12;        // times, owner and group before the link target
constexpr std::size_t kAsiFixedPart = 14;         // checksum, mode, link size, owner and group
constexpr std::size_t kUnicodePathFixedPart = 5;  // version and the header name's checksum

unsigned le(std::string_view bytes, std::size_t at, std::size_t count) {
    unsigned value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

[[noreturn]] void damaged() {
    throw EZipListingError("an extra field of one of its entries is damaged");
}

void readZip64(std::string_view data, ExtraFields& fields) {
    for (std::size_t at = 0; at + 8 <= data.size(); at += 8) {
        fields.zip64Values.push_back(le(data, at, 4) |
                                     static_cast<std::uint64_t>(le(data, at + 4, 4)) << 32);
    }
}

void readField(unsigned id, std::string_view data, ExtraFields& fields) {
    if (id == kZip64Id) readZip64(data, fields);
    if (id == kUnixId && data.size() > kUnixFixedPart) fields.unixLinkTarget = true;
    if (id == kAsiId) {
        if (data.size() < kAsiFixedPart) damaged();
        fields.asiModes.push_back(le(data, 4, 2));
    }
    if (id == kUnicodePathId) {
        if (data.size() < kUnicodePathFixedPart) damaged();
        fields.unicodeNames.emplace_back(data.substr(kUnicodePathFixedPart));
    }
}

}  // namespace

ExtraFields readExtraFields(std::string_view extra) {
    ExtraFields fields;
    std::size_t at = 0;
    while (at + kFieldHeader <= extra.size()) {
        const std::size_t size = le(extra, at + 2, 2);
        if (size > extra.size() - at - kFieldHeader) damaged();
        readField(le(extra, at, 2), extra.substr(at + kFieldHeader, size), fields);
        at += kFieldHeader + size;
    }
    return fields;
}

}  // namespace platform
