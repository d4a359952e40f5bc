#pragma once
// A mount for one scope, lazily unmounted when it goes, so that the sandbox can be removed.
// Only for tests rerun in a private mount namespace (child_test.h).

#include <errno.h>
#include <sys/mount.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace testing_support {

class ScopedMount {
public:
    ScopedMount(const std::filesystem::path& source, const std::filesystem::path& target,
                const char* type, unsigned long flags, const char* options)
        : m_target(target),
          m_mounted(mount(source.c_str(), target.c_str(), type, flags, options) == 0) {
        if (!m_mounted) m_error = std::strerror(errno);
    }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;
    ~ScopedMount() {
        if (m_mounted) umount2(m_target.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    const std::string& error() const { return m_error; }

private:
    std::filesystem::path m_target;
    bool m_mounted;
    std::string m_error;
};

}  // namespace testing_support
