#pragma once
// The extra fields of a ZIP header that give an entry its type, its name or its place, read
// as the extractor reads them, so that the listing judges what will really be unpacked.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ExtraFields {
    std::vector<unsigned> asiModes;          // the unix mode of each ASi field (0x756e)
    std::vector<std::string> unicodeNames;   // the name of each Unicode Path field (0x7075)
    bool unixLinkTarget = false;             // a PKWARE Unix field (0x000d) names a link target
    std::vector<std::uint64_t> zip64Values;  // the ZIP64 field's (0x0001) values, in order
};

// Reads the fields of one header's extra block. Unicode Path names are taken whatever their
// version and checksum say, and ASi modes whatever their checksum says: an extractor may use
// them either way. Fewer than four bytes after the last field (padding) are passed over.
// Throws EZipListingError when a field runs past the block, or an ASi or Unicode Path field is
// too short to hold what it must.
ExtraFields readExtraFields(std::string_view extra);

}  // namespace platform
