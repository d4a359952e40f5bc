#pragma once
// Shortcuts as freedesktop desktop entries: the setup program's "Quindor.lnk" becomes
// "Quindor.desktop", an application entry that starts the installed program.

#include <string>
#include <string_view>

namespace platform {

struct DesktopEntry {
    std::string name;           // Name=, the link's base name
    std::string target;         // the program, an absolute path
    std::string arguments;      // written after the target as given: already in Exec syntax
    std::string workingFolder;  // Path=; left out when empty
};

// "Quindor.lnk" -> "Quindor.desktop"; a name without ".lnk" (any case) gets ".desktop"
// appended.
std::string desktopEntryFileName(std::string_view linkName);

// One argument quoted by the freedesktop desktop-entry Exec rules (quoted when it holds
// reserved characters or is empty; inside quotes ", `, $ and \ are backslash-escaped; a
// literal % is %%, inside quotes as well).
std::string quoteExecArgument(std::string_view argument);

// The whole file: [Desktop Entry], Type=Application, Name=, Exec= (quoted target, then the
// arguments if not empty), Path=, Terminal=false; string values escaped as the freedesktop
// desktop-entry rules say (\s for a leading blank, \n \t \r \\), so the file stays one
// key per line whatever the values hold. Passes desktop-file-validate.
std::string desktopEntryText(const DesktopEntry& entry);

// Writes the file (replacing one of the same name atomically, as replaceFileAtomically does:
// a temporary file in the same folder, flushed to disc, renamed over it, the folder flushed),
// mode 0755, and, where the `gio` program
// exists and a session bus can be reached, marks it trusted (gio set FILE metadata::trusted
// true; failure ignored, output suppressed, stopped after a few seconds). False when it cannot be
// written (folder missing or not writable, no name or target); nothing is left behind then.
bool writeDesktopEntry(const std::string& file, const DesktopEntry& entry);

// Whether this session has a message bus (DBUS_SESSION_BUS_ADDRESS set, or a socket "bus" in
// XDG_RUNTIME_DIR). File metadata such as "trusted" is kept by a service on that bus; without
// one, gio can only fail, so it is not started.
bool sessionBusAvailable();

}  // namespace platform
