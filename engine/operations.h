#pragma once
// The operations the install and uninstall procedures are built from: shell folders,
// shortcuts, folders, copying, fonts, the registry and external programs. Each keeps no
// state between calls and releases what it opened before it returns.

#include <optional>
#include <stdexcept>
#include <string>

#include "base/errors.h"
#include "command_line.h"
#include "machine.h"
#include "product.h"
#include "setup_ui.h"

namespace engine {

// An error with the fixed message the user sees.
class EEngineError : public base::Exception {
public:
    using Exception::Exception;
};

// Folder kinds of the current user's shell folders.
enum FolderKind : unsigned char {
    kLinkFolder = 0,  // the link name carries its own folder
    kDesktop = 1,
    kFonts = 3,
    kPrograms = 6,
    kStartMenu = 9,
};

// The folder of that kind as recorded under the user's "Shell Folders"; empty when the
// value is missing or the kind names none.
std::string ShellFolderPath(RegistryStore& registry, unsigned kind);

// Creates the shortcut (a desktop entry named after the link, ".lnk" becoming ".desktop")
// in the folder of that kind, making that one folder when it is missing. True when saved.
bool CreateShortcut(Machine& machine, const std::string& target, const std::string& arguments,
                    const std::string& linkName, unsigned kind);

bool FolderExists(Files& files, const std::string& path);

// Makes one folder (not its parents); false when it could not (it exists, the parent is
// missing, the name is not allowed).
bool CreateFolder(Files& files, const std::string& path);

// Creates the folder and every missing one above it; "Unable to create directory" for an
// empty path (and so for a relative one). A folder that cannot be made is not reported.
void CreateFolderChain(Files& files, const std::string& path);

// Copies in chunks of 8192 bytes through the machine's files; "Cannot open file %s" /
// "Cannot create file %s", and a read or write that cannot complete raises too (the
// truncated copy is removed, never left looking done).
void CopyFileChunked(Files& files, const std::string& source, const std::string& destination);

// Copies a font file into the font folder, records it under the machine's font key and
// makes it usable at once. "Failed to set data for '%s'" when it cannot be recorded.
void InstallFontFile(Machine& machine, const std::string& source, const std::string& destination);

// Creates the key where missing and writes the string. Never raises: a failure is
// swallowed and its cause returned, for the one caller that must tell the user.
std::optional<std::string> WriteRegistryString(RegistryStore& registry, RootKey root,
                                               const std::string& key, const std::string& name,
                                               const std::string& data);

// True when the key exists and may be opened for full access.
bool RegistryKeyExists(RegistryStore& registry, RootKey root, const std::string& key);

// Runs the command hidden and waits, the pages painting meanwhile. A program that cannot
// be started is reported as "Executing " / command / " failed!"; one that ends with an
// error is reported with its exit status. descriptor, when not -1, is handed to the program.
void RunAndWait(Programs& programs, SetupUi& ui, const CommandLine& command, int descriptor = -1);

// The variable "windir" (at most 255 characters); empty when unset, as is usual here.
std::string WindowsFolder(Programs& programs);

// Whether a font family of exactly that name (case included) is installed.
bool FontInstalled(Desktop& desktop, const std::string& face);

}  // namespace engine
