#pragma once
// The mount table of this process (/proc/self/mounts): where volumes are mounted, and a
// descriptor that the kernel marks (POLLPRI) whenever something is mounted or unmounted.

#include <string>
#include <string_view>
#include <vector>

#include "system.h"

namespace platform {

// The mount points of a mount table's text, in table order, with the table's octal escapes
// (\040 for a blank, \011, \012, \134) decoded. Lines without a mount point are skipped.
std::vector<std::string> parseMountPoints(std::string_view table);

// The mount points a user sees as volumes: /mnt and what lies below it, and what lies below
// /media and /run/media; sorted, each once.
std::vector<std::string> volumeMountPoints(const std::vector<std::string>& mountPoints);

// The current mount table's text; empty when it cannot be read.
std::string readMountTable();

// An open mount table whose descriptor a poll loop can watch for POLLPRI; movable.
class MountTableWatch {
public:
    MountTableWatch();
    int descriptor() const { return m_table.get(); }  // -1 when the table cannot be opened
    // True once after each change of the table since the last call (reads the table through
    // the descriptor, which re-arms the kernel's mark).
    bool takeChange();

private:
    FileDescriptor m_table;
};

}  // namespace platform
