#include "mount_table.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "mount_info.h"

namespace platform {

namespace {

constexpr const char* kMountTable = "/proc/self/mounts";
constexpr std::size_t kTableLimit = 16 * 1024 * 1024;

// The second blank-separated field of a line, or empty.
std::string_view secondField(std::string_view line) {
    const std::size_t firstEnd = line.find_first_of(" \t");
    if (firstEnd == std::string_view::npos) return {};
    const std::size_t start = line.find_first_not_of(" \t", firstEnd);
    if (start == std::string_view::npos) return {};
    const std::size_t end = line.find_first_of(" \t", start);
    return line.substr(start, end == std::string_view::npos ? end : end - start);
}

bool isBelow(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() + 1 && path.substr(0, folder.size()) == folder &&
           path[folder.size()] == '/';
}

bool isVolume(std::string_view path) {
    return path == "/mnt" || isBelow(path, "/mnt") || isBelow(path, "/media") ||
           isBelow(path, "/run/media");
}

// The table through an open descriptor, from its start; empty when it cannot be read.
std::string readTable(int descriptor) {
    ::lseek(descriptor, 0, SEEK_SET);
    try {
        return readAll(descriptor, kMountTable, kTableLimit);
    } catch (const ESystemError&) {
        return {};
    }
}

}  // namespace

std::vector<std::string> parseMountPoints(std::string_view table) {
    std::vector<std::string> points;
    while (!table.empty()) {
        const std::size_t end = table.find('\n');
        const std::string_view field = secondField(table.substr(0, end));
        if (!field.empty()) points.push_back(decodeMountField(field));
        table.remove_prefix(end == std::string_view::npos ? table.size() : end + 1);
    }
    return points;
}

std::vector<std::string> volumeMountPoints(const std::vector<std::string>& mountPoints) {
    std::vector<std::string> volumes;
    std::copy_if(mountPoints.begin(), mountPoints.end(), std::back_inserter(volumes),
                 [](const std::string& point) { return isVolume(point); });
    std::sort(volumes.begin(), volumes.end());
    volumes.erase(std::unique(volumes.begin(), volumes.end()), volumes.end());
    return volumes;
}

std::string readMountTable() {
    const FileDescriptor table = openFile(kMountTable, O_RDONLY);
    return table ? readTable(table.get()) : std::string();
}

MountTableWatch::MountTableWatch() : m_table(openFile(kMountTable, O_RDONLY)) {
    if (m_table) readTable(m_table.get());
}

bool MountTableWatch::takeChange() {
    if (!m_table) return false;
    pollfd entry{m_table.get(), POLLPRI, 0};
    if (::poll(&entry, 1, 0) <= 0 || (entry.revents & (POLLPRI | POLLERR)) == 0) return false;
    readTable(m_table.get());
    return true;
}

}  // namespace platform
