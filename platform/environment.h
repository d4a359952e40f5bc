#pragma once
// The process's environment as the setup program sees it on Linux.

#include <string>

namespace platform {

// The user's home folder: $HOME, else the password database's entry; no final '/'.
std::string homeFolder();

}  // namespace platform
