#include "mount_info.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include <charconv>
#include <optional>

#include "system.h"

namespace platform {

namespace {

constexpr const char* kMountInfo = "/proc/self/mountinfo";
constexpr std::size_t kTableLimit = 16 * 1024 * 1024;

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// The blank-separated fields of a line (the kernel writes one blank between fields).
std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    while (!line.empty()) {
        const std::size_t blank = line.find(' ');
        if (blank != 0) fields.push_back(line.substr(0, blank));
        line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
    }
    return fields;
}

template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// "major:minor" as a device number.
std::optional<std::uint64_t> deviceOf(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const auto major = numberOf<unsigned>(text.substr(0, colon));
    const auto minor = numberOf<unsigned>(text.substr(colon + 1));
    if (!major || !minor) return std::nullopt;
    return makedev(*major, *minor);
}

// The parts of a colon-separated layer list; a backslash takes the next character as it is
// (how a colon in a folder name is written), "::" (before data-only layers) separates too.
std::vector<std::string> layerList(std::string_view value) {
    std::vector<std::string> layers(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            layers.back() += value[++i];
        } else if (value[i] == ':') {
            if (!layers.back().empty()) layers.emplace_back();
        } else {
            layers.back() += value[i];
        }
    }
    if (layers.back().empty()) layers.pop_back();
    return layers;
}

// The layers named by an overlay's options, the upper folder first.
std::vector<std::string> overlayLayers(std::string_view options) {
    std::vector<std::string> upper;
    std::vector<std::string> lower;
    while (!options.empty()) {
        const std::size_t comma = options.find(',');
        const std::string option = decodeMountField(options.substr(0, comma));
        options.remove_prefix(comma == std::string_view::npos ? options.size() : comma + 1);
        const std::size_t equals = option.find('=');
        if (equals == std::string::npos) continue;
        const std::string_view key = std::string_view(option).substr(0, equals);
        std::vector<std::string> named = layerList(std::string_view(option).substr(equals + 1));
        if (key == "upperdir") {
            upper.insert(upper.end(), named.begin(), named.end());
        } else if (key == "lowerdir" || key == "lowerdir+" || key == "datadir+") {
            lower.insert(lower.end(), named.begin(), named.end());
        }
    }
    upper.insert(upper.end(), lower.begin(), lower.end());
    return upper;
}

// "id parent major:minor root mount-point options [optional...] - type source super-options"
std::optional<MountInfoEntry> entryOf(std::string_view line) {
    const std::vector<std::string_view> fields = fieldsOf(line);
    std::size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-") ++separator;
    if (separator + 1 >= fields.size()) return std::nullopt;
    MountInfoEntry entry;
    const auto id = numberOf<std::uint64_t>(fields[0]);
    const auto parent = numberOf<std::uint64_t>(fields[1]);
    const auto device = deviceOf(fields[2]);
    if (!id || !parent || !device) return std::nullopt;
    entry.id = *id;
    entry.parentId = *parent;
    entry.fileSystem = *device;
    entry.root = decodeMountField(fields[3]);
    entry.mountPoint = decodeMountField(fields[4]);
    if (!entry.root.starts_with('/') || !entry.mountPoint.starts_with('/')) return std::nullopt;
    entry.type = decodeMountField(fields[separator + 1]);
    if (entry.type == "overlay" && separator + 3 < fields.size()) {
        entry.layers = overlayLayers(fields[separator + 3]);
    }
    return entry;
}

// The mount point holds path: it is path or a folder above it.
bool onTheWay(const std::string& mountPoint, const std::string& path) {
    if (mountPoint == "/") return true;
    return path.starts_with(mountPoint) &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

}  // namespace

std::string decodeMountField(std::string_view field) {
    std::string result;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            result += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                        (field[i + 3] - '0'));
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

MountInfo MountInfo::parse(std::string_view table) {
    MountInfo mounts;
    while (!table.empty()) {
        const std::size_t end = table.find('\n');
        if (auto entry = entryOf(table.substr(0, end)))
            mounts.m_entries.push_back(std::move(*entry));
        table.remove_prefix(end == std::string_view::npos ? table.size() : end + 1);
    }
    return mounts;
}

MountInfo MountInfo::read() {
    const FileDescriptor table = openFile(kMountInfo, O_RDONLY);
    if (!table) return {};
    try {
        return parse(readAll(table.get(), kMountInfo, kTableLimit));
    } catch (const ESystemError&) {
        return {};
    }
}

const MountInfoEntry* MountInfo::byId(std::uint64_t id) const {
    for (const MountInfoEntry& entry : m_entries) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

const MountInfoEntry* MountInfo::showing(const std::string& path) const {
    const MountInfoEntry* shown = nullptr;
    for (const MountInfoEntry& entry : m_entries) {
        if (!onTheWay(entry.mountPoint, path)) continue;
        if (shown == nullptr || entry.mountPoint.size() >= shown->mountPoint.size()) shown = &entry;
    }
    return shown;
}

}  // namespace platform
