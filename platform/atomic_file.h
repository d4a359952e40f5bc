#pragma once
// Whole-file reading and crash-safe replacement of small files, with an advisory lock that
// serialises read-modify-write cycles between processes.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "system.h"

namespace platform {

// An exclusive advisory lock (flock) on a separate lock file, held for the object's lifetime.
// The lock file is created when missing and removed again on release, so that no lock files
// are left behind in the user's folders. Removal is safe: a waiter that gets the lock on a file
// that has meanwhile been removed or replaced starts over on the file now at lockPath, so two
// holders never overlap. A process that dies while holding the lock loses it with its file
// descriptors; the lock file it leaves is simply reused. Blocks until the lock is held.
//
// The lock file is never reached through a link and is always a regular file of this
// process's user with no other names: a symbolic link, a named pipe, a device, another
// user's file or a hard link planted at lockPath is refused, and nothing is created where a
// planted link points. Throws ESystemError naming lockPath when the lock file cannot be
// opened, used or locked (its folder missing or not writable, for instance).
class FileLock {
public:
    explicit FileLock(const std::string& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    std::string m_path;
    FileDescriptor m_file;
};

// Replaces the file atomically: temporary file in the same folder, written fully, fsync'd,
// renamed over the file, folder fsync'd. The file gets mode when one is given; else it keeps
// the old file's mode (and, where this process may, its owner) when there was one, and a new
// file gets 0666 less the umask. A symbolic link at path is replaced by the file, never
// followed. Throws ESystemError naming the path when
// it cannot; the old file is then untouched and no temporary file is left (a process killed
// mid-way can leave a hidden ".<name>.tmp-*" file beside it, never a damaged file; see
// removeStaleTemporaries).
void replaceFileAtomically(const std::string& path, std::string_view contents,
                           std::optional<mode_t> mode = std::nullopt);

// Removes the temporary files that interrupted replacements of path (a process killed
// mid-way) left beside it. Call it only while holding the lock that every writer of path
// holds, so that no replacement is in progress. Failures are ignored: leftovers are harmless.
void removeStaleTemporaries(const std::string& path);

// True when this process may change the file or folder at path: it carries at least one write
// permission bit and the effective user passes the write-access check. The superuser passes
// that check whatever the bits say, so the bits are what keeps a write-protected file or
// folder protected from it too. False when path does not exist. Replacing by rename needs only
// the folder to be writable, so callers that honour a file's protection ask this first.
bool mayWrite(const std::string& path);

}  // namespace platform
