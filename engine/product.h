#pragma once
// The product's names, defined once: the registry keys the setup reads and writes, the
// files it unpacks, writes and starts, and the shortcut it makes.

namespace engine {

// HKEY_LOCAL_MACHINE: the installation record (default value: the folder text) and the
// product key the uninstall deletes with everything below it. Keys compare without regard
// to case, so the uninstall's "InstallTo" is this very key.
inline constexpr const char* kRecordKey = "Software\\Quindor\\InstallTO";
inline constexpr const char* kProductKey = "Software\\Quindor";
// HKEY_LOCAL_MACHINE: its presence means HTML help can be shown without the help files.
inline constexpr const char* kHelpClassKey = "Software\\Classes\\.chm";
// HKEY_CURRENT_USER: the user's shell folders (spelled with that capital S).
inline constexpr const char* kShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// HKEY_LOCAL_MACHINE: the installed font files.
inline constexpr const char* kFontsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";

// The distribution folder's archives (a dictionary's is its code + ".ZIP").
inline constexpr const char* kMainArchive = "QUINDOR.ZIP";
inline constexpr const char* kHelpArchive = "HTMLhelp.ZIP";
inline constexpr const char* kArchiveExtension = ".ZIP";
// The installation folder's sub-folder that receives the dictionaries.
inline constexpr const char* kDictionaryFolder = "QUINDOR";

// The installed program, the settings file and the two keys written into its section.
inline constexpr const char* kProgramFile = "QUINDOR.EXE";
inline constexpr const char* kSettingsFile = "MARLO.INI";
inline constexpr const char* kSettingsSection = "UserChoice";
inline constexpr const char* kScreenLanguageKey = "MarloLanguage";
inline constexpr const char* kSpellLanguageKey = "SpellLanguage";

// The Tahoma font: its family name and the two files the main archive brings.
inline constexpr const char* kTahomaFamily = "Tahoma";
inline constexpr const char* kTahomaFiles[] = {"TAHOMA.TTF", "TAHOMABD.TTF"};

// The shortcut, made on the desktop, in the Start menu and in Programs.
inline constexpr const char* kShortcutName = "Quindor.lnk";

}  // namespace engine
