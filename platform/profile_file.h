#pragma once
// Settings (INI) files, written key by key as the profile-string service writes them.

#include <span>
#include <string>
#include <string_view>

#include <cstddef>

namespace platform {

// The largest settings file that is read (and so edited): 1 MiB.
constexpr std::size_t kLargestSettingsFile = std::size_t{1} << 20;

// Writes key=value into [section] as profile-string writing does: the file is created when
// missing (its folder is not); other sections, keys, comments and blank lines stay as they
// are, and so do the file's line endings (the first line ending in the file decides what new
// lines get: CRLF stays CRLF, LF stays LF; a new file, or one without any line break, uses
// CRLF); section and key names compare without regard to ASCII case and keep their stored
// spelling; a present key (its first occurrence in the first matching section) is replaced in
// place, a missing key is appended after the last non-blank line of its section, a missing
// section is appended at the end of the file after a blank line.
//
// Read as the service reads: "[name]" starts a section; "name=value" is a key, blanks around
// the name ignored; lines starting with ';' or '#' are comments.
//
// Only a regular file of at most kLargestSettingsFile bytes is read and replaced: a symbolic
// link in its place (never followed: it could lead to another user's private file, whose
// contents would land in the new file), a named pipe, a device, a folder or a larger file
// is a failure, read without ever blocking, and nothing is written.
//
// Refused with std::invalid_argument, nothing written: CR, LF or NUL in section, key or value;
// an empty section or key; ']' in the section, '=' in the key, or blanks at either end of
// them (none of these would read back as written).
//
// The file is replaced atomically (replaceFileAtomically) under a FileLock on "<file>.lock",
// which is removed again afterwards, as are temporary files that an interrupted earlier write
// left. A file or folder that may not be written (mayWrite: for
// the superuser too, a write-protected file stays protected) counts as a failure. Any failure
// to write throws base::Exception("Unable to write to " + file), with the cause nested
// (std::nested_exception), and leaves the file as it was.
void writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value);

struct ProfileEntry {
    std::string key;
    std::string value;
};

// Several keys of one section in one replacement of the file, as if written one after the
// other by writeProfileString: either all of them reach the disc or the file stays as it was.
// One lock, one read and one synced replacement instead of one each per key.
void writeProfileStrings(const std::string& file, std::string_view section,
                         std::span<const ProfileEntry> entries);

// The editing step alone: contents with key=value written into [section] by the rules
// above. Section, key and value must pass the checks above (callers check first).
std::string withProfileString(std::string_view contents, std::string_view section,
                              std::string_view key, std::string_view value);

}  // namespace platform
