#include "environment.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "system.h"

namespace platform {

namespace {

constexpr const char* kDefaultPath = "PATH=/usr/local/bin:/usr/bin:/bin";

bool isEssential(std::string_view entry) {
    const std::string_view name = entry.substr(0, entry.find('='));
    return name == "PATH" || name == "HOME" || name == "LANG" || name == "LANGUAGE" ||
           (name.starts_with("LC_") && name.size() > 3);
}

}  // namespace

std::string homeFolder() {
    std::string home;
    if (const char* env = std::getenv("HOME"); env != nullptr && *env != '\0') {
        home = env;
    } else if (const passwd* entry = getpwuid(getuid());
               entry != nullptr && entry->pw_dir != nullptr) {
        home = entry->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home;
}

bool ensureStandardDescriptors() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is taken, which is this one.
        int opened = ::open("/dev/null", O_RDWR);
        if (opened < 0) opened = ::open("/", O_RDONLY | O_DIRECTORY);
        if (opened != descriptor) {
            if (opened >= 0) ::close(opened);
            return false;
        }
    }
    return true;
}

unsigned long raiseDescriptorLimit(unsigned long wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    const rlim_t target =
        limit.rlim_max == RLIM_INFINITY ? wanted : std::min<rlim_t>(wanted, limit.rlim_max);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < target) {
        limit.rlim_cur = target;
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur;
}

std::vector<std::string> essentialEnvironment() {
    std::vector<std::string> kept;
    bool hasPath = false;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (text.find('=') == std::string_view::npos || !isEssential(text)) continue;
        hasPath = hasPath || text.starts_with("PATH=");
        kept.emplace_back(text);
    }
    if (!hasPath) kept.emplace_back(kDefaultPath);
    return kept;
}

std::string executableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) throw ESystemError("Cannot find", "the setup program's own folder", error.value());
    std::string folder = exe.parent_path().string();
    if (folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace platform
