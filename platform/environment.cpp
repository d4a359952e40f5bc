#include "environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

std::string homeFolder() {
    std::string home;
    if (const char* env = std::getenv("HOME"); env != nullptr && *env != '\0') {
        home = env;
    } else if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        home = entry->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home;
}

}  // namespace platform
