#pragma once
// The folders the setup program starts from, for the pages: they reach the machine
// through the engine only.

#include <string>

namespace engine {

// The user's home folder, without a final '/'.
std::string homeFolder();
// The folder of the running program (the distribution folder), with its final '/'.
std::string programFolder();

}  // namespace engine
