#pragma once
// The process's environment as the setup program sees it on Linux.

#include <string>

namespace platform {

// The user's home folder: $HOME, else the password database's entry; no final '/'.
std::string homeFolder();

// The folder of the running program (from /proc/self/exe) with its final '/'; raises
// std::runtime_error when it cannot be read, never falling back to another folder.
std::string executableFolder();

}  // namespace platform
