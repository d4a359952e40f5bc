#pragma once
// The faces the setup's own pages are designed in. Where the machine lacks Tahoma, the
// distribution's copies (inside QUINDOR.ZIP, where the install takes them from) serve the
// pages from memory: nothing is unpacked, written or installed for that.

#include <string>
#include <vector>

#include "machine.h"

namespace engine {

// The archive members that hold Tahoma, regular and bold.
extern const char* const kPageFaceFiles[2];

// The bytes of each Tahoma face found in the distribution folder's QUINDOR.ZIP, when the
// machine has no font family "Tahoma"; empty when it has one, and missing or damaged
// members are left out (the pages then use their stand-in faces).
std::vector<std::string> pageFacesToLoad(Machine& machine, const std::string& distributionFolder);

}  // namespace engine
