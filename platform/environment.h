#pragma once
// The process's environment as the setup program sees it on Linux.

#include <string>
#include <vector>

namespace platform {

// The user's home folder: $HOME, else the password database's entry; no final '/'.
std::string homeFolder();

// The part of this process's environment that a helper program needs and that changes
// nothing of what it does to files: PATH (the system's default when unset), HOME and the
// locale (LANG, LANGUAGE and the LC_ variables), as "NAME=value" entries. Everything
// else, such as a program's own options variable (UNZIP, ZIPINFO), is left out.
std::vector<std::string> essentialEnvironment();

// The folder of the running program (from /proc/self/exe) with its final '/'; raises
// ESystemError when it cannot be read, never falling back to another folder.
std::string executableFolder();

// Makes sure descriptors 0, 1 and 2 are open, so that no file the program opens later takes
// one of their numbers (a child would then find it as its standard input or output, or
// lose it). Each closed one is opened on /dev/null (or, where that cannot be opened, on the
// root folder, which reads and writes nothing). Call it first thing in main; false when one
// could not be filled.
bool ensureStandardDescriptors();

// Raises the soft limit of open descriptors towards `wanted`, never above the hard limit,
// and returns the soft limit then in force. Each folder monitor of the folder chooser holds
// a few descriptors, and desktops often start programs with a soft limit of 1,024.
unsigned long raiseDescriptorLimit(unsigned long wanted = 65536);

}  // namespace platform
