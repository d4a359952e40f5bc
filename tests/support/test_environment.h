#pragma once
// Every test program runs inside its own temporary folder: HOME, the XDG folders and the
// registry folder point there, and Qt draws offscreen. Free of Qt: the platform and
// engine tests use it alone (gui_test_environment.h adds what pages need).

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Makes the sandbox and points the variables there, and gives each test a fresh one of
// its own; removeSandbox deletes it.
void makeSandbox();
void removeSandbox();

// Records which of descriptors 0-2 were closed, then opens those on /dev/null, as the setup
// program does before anything opens a file. Called first in main.
void fillStandardDescriptors();

// The running test's own temporary folder, fresh for each test and removed when it ends
// (outside a test: the test program's, removed when the program ends). HOME, the XDG
// folders and the registry folder lie in it.
const std::filesystem::path& sandboxFolder();

// True when descriptor 0, 1 or 2 was closed when the program started (main then opened it on
// /dev/null, as the setup program does).
bool standardDescriptorClosedAtStart(int descriptor);

// A new, empty folder for the running test: <sandbox>/<group>/<suite>.<test>.
std::filesystem::path testFolder(const std::string& group);

// Sets an environment variable (nullptr: unsets it) for one scope and restores it afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

}  // namespace testing_support
