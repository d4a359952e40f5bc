#pragma once
// The folders the setup program starts from, and what it settles before it starts, for the
// pages and main: they reach the machine through the engine only.

#include <string>

namespace engine {

// The user's home folder, without a final '/'.
std::string homeFolder();
// The folder of the running program (the distribution folder), with its final '/'.
std::string programFolder();

// Opens each closed standard descriptor (0-2) on /dev/null, so no file opened later gets
// one of their numbers. Call first, before anything opens a file.
void ensureStandardDescriptors();
// Lets the process hold enough descriptors for the folder chooser's monitors.
void raiseDescriptorLimit();

}  // namespace engine
