#include "platform_fuzz_entries.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mount_info.h"
#include "platform/profile_file.h"
#include "platform/registry_hive.h"
#include "platform/zip_fields.h"
#include "platform/zip_listing.h"

namespace platform_fuzz {

namespace {

std::string_view textOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

void require(bool holds) {
    if (!holds) std::abort();
}

std::string lowered(std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

struct SettingsEntry {
    std::string_view section, key, value;
};

// Entries as the install writes them, and the awkward ones the rules admit.
constexpr SettingsEntry kSettingsEntries[] = {
    {"UserChoice", "MarloLanguage", "DK"},
    {"userchoice", "SPELLLANGUAGE", ""},
    {"New Section", "Key", " value = with ; and [brackets] "},
    {"a", "b", "c"},
};

}  // namespace

int fuzzHiveText(const std::uint8_t* data, std::size_t size) {
    platform::Hive hive;
    try {
        hive = platform::parseHive(textOf(data, size));
    } catch (const platform::EHiveParseError&) {
        return 0;
    }
    require(platform::parseHive(platform::formatHive(hive)) == hive);
    return 0;
}

int fuzzSettingsFile(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const SettingsEntry& entry = kSettingsEntries[data[0] % std::size(kSettingsEntries)];
    const std::string_view contents = textOf(data + 1, size - 1);
    const std::string written =
        platform::withProfileString(contents, entry.section, entry.key, entry.value);
    // A present key keeps its stored spelling, so the line is looked for without case.
    const std::string line = lowered(std::string(entry.key) + "=" + std::string(entry.value));
    require(lowered(written).find(line) != std::string::npos);
    require(platform::withProfileString(written, entry.section, entry.key, entry.value) == written);
    return 0;
}

// The same bytes read as one header's extra block: what the fields give stays within it.
void checkExtraFields(std::string_view bytes) {
    try {
        const platform::ExtraFields fields = platform::readExtraFields(bytes);
        std::size_t named = 0;
        for (const std::string& name : fields.unicodeNames) named += name.size();
        require(named + fields.zip64Values.size() * 8 + fields.asiModes.size() * 14 <=
                bytes.size());
    } catch (const platform::EZipListingError&) {
    }
}

int fuzzZipListing(const std::uint8_t* data, std::size_t size) {
    checkExtraFields(textOf(data, size));
    try {
        const std::string_view archive = textOf(data, size);
        const std::vector<platform::ZipEntry> entries = platform::listZipEntriesIn(archive);
        // Reading a member into memory (the page fonts) must stay within its bound too.
        if (!entries.empty()) {
            const auto member = platform::readZipMemberIn(archive, entries.front().name, 1 << 16);
            require(!member || member->size() == entries.front().size);
        }
        for (const platform::ZipEntry& entry : entries) {
            // Whatever field typed it, a link is never listed as anything else.
            require(!S_ISLNK(entry.mode) || entry.isSymlink);
            const std::string path = platform::unpackedPath(entry.name);
            require(!path.starts_with('/') && ("/" + path + "/").find("/../") == std::string::npos);
        }
    } catch (const platform::EZipListingError&) {
    }
    return 0;
}

int fuzzMountInfo(const std::uint8_t* data, std::size_t size) {
    const platform::MountInfo mounts = platform::MountInfo::parse(textOf(data, size));
    for (const platform::MountInfoEntry& entry : mounts.entries()) {
        require(entry.root.starts_with('/') && entry.mountPoint.starts_with('/'));
        require(entry.layers.empty() || entry.type == "overlay");
        for (const std::string& layer : entry.layers) require(!layer.empty());
        const platform::MountInfoEntry* shown = mounts.showing(entry.mountPoint);
        require(shown != nullptr && shown->mountPoint == entry.mountPoint);
        require(mounts.byId(entry.id) != nullptr);
    }
    return 0;
}

}  // namespace platform_fuzz
