#pragma once
// The registry: a file-backed store of string values in two hives of the registry folder,
// HKEY_LOCAL_MACHINE in "system.reg" and HKEY_CURRENT_USER in "user.reg", each file in the
// registry editor's text export format (registry_hive.h).
//
// - Every operation reads the hive file afresh; nothing is cached between calls.
// - Writes are read-modify-write cycles under an advisory lock on "<hive>.lock" (removed again
//   afterwards), saved by atomic replacement: concurrent setup processes never lose each
//   other's writes, and a crash at any moment leaves the old or the new hive (the temporary
//   file such a crash leaves is removed by the next write).
// - A missing hive file reads as a new system's hive: the machine hive holds the key
//   Software\Microsoft\Windows\CurrentVersion\Fonts (no values); the user hive holds
//   Software\MicroSoft\Windows\CurrentVersion\Explorer\Shell Folders with Desktop, Personal,
//   Programs, "Start Menu", Startup, Templates and Fonts (the user's XDG folders). The first
//   write creates the folder and the file with these plus the write.
// - A hive file that cannot be read or parsed reads as holding no keys and is never
//   overwritten: writes to it fail.
// - A hive may be written when mayWrite() allows its file and the registry folder (for a
//   missing file: the nearest existing folder on the way to it). A hive that is not writable
//   opens for reading only, as for a user without administrator rights; since mayWrite() also
//   honours missing write bits for the superuser, "chmod a-w system.reg" makes the machine
//   hive read-only for every user.
// - Key paths are '\'-separated below the root key ("Software\Quindor"); key and value names
//   compare without regard to ASCII case and keep the spelling they were made with. Names and
//   data cannot hold NUL, CR or LF: such writes are refused, such reads find nothing.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include "base/errors.h"

namespace platform {

enum class RootKey { LocalMachine, CurrentUser };

class ERegistryError : public base::Exception {
public:
    using Exception::Exception;
};

class Registry {
public:
    // $MARLO_REGISTRY_DIR, else $XDG_CONFIG_HOME/marlo/registry, else
    // $HOME/.config/marlo/registry; no final '/'.
    static std::string defaultFolder();

    // Throws ERegistryError when folder is empty (it would name the file system's root).
    explicit Registry(std::string folder = defaultFolder());

    // <folder>/system.reg or <folder>/user.reg
    std::string hivePath(RootKey root) const;

    // True when the key exists (the empty path names the root key itself). With fullAccess
    // the hive must also be writable by this process; else false ("exists but cannot be
    // opened"). False when the path is malformed or the hive cannot be read or parsed.
    bool keyExists(RootKey root, std::string_view keyPath, bool fullAccess) const;

    // A string value (empty name = the key's default value "@"); nullopt when the key or the
    // value is missing, or the hive cannot be read or parsed.
    std::optional<std::string> readString(RootKey root, std::string_view keyPath,
                                          std::string_view valueName) const;

    // Creates missing keys on the way and writes the value (an existing value keeps the
    // spelling of its name). Throws ERegistryError with a clear message, leaving the hive as it
    // was, when the path is malformed, the name or data holds NUL, CR or LF, or the hive
    // cannot be written or parsed (an unparsable hive is never overwritten).
    void writeString(RootKey root, std::string_view keyPath, std::string_view valueName,
                     std::string_view data);

    // Deletes the key and everything below it; false when it was missing, the path is empty
    // or malformed, or the hive cannot be written or parsed.
    bool deleteKeyTree(RootKey root, std::string_view keyPath);

private:
    std::string m_folder;
};

}  // namespace platform
