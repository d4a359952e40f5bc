#pragma once
// The entry functions of the platform layer's fuzz targets: each takes arbitrary bytes,
// feeds them to one reader of stored bytes and aborts when a property of the reader fails.
// The fuzzers call them; the tests replay the kept corpora through them.

#include <cstddef>
#include <cstdint>

namespace platform_fuzz {

// A hive file's text: parsed; what parses is formatted without error and parses back to
// the same hive.
int fuzzHiveText(const std::uint8_t* data, std::size_t size);

// A settings file's contents (after a first byte that picks the section, key and value):
// writing the entry gives a file holding the entry's line, and writing it again changes
// nothing.
int fuzzSettingsFile(const std::uint8_t* data, std::size_t size);

// A ZIP archive's bytes: listed, or refused with a reason; no unpacked path of a listed
// entry leaves the target folder.
int fuzzZipListing(const std::uint8_t* data, std::size_t size);

// A mount table's text (/proc/self/mountinfo): every mount read has a root and a mount point
// starting with '/', only overlays have layers, and each mount point is shown by a mount on
// that very point.
int fuzzMountInfo(const std::uint8_t* data, std::size_t size);

}  // namespace platform_fuzz
