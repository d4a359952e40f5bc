#include "desktop_entry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "atomic_file.h"
#include "process.h"

namespace platform {

namespace {

constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";
constexpr const char* kGio = "/usr/bin/gio";
constexpr std::chrono::seconds kGioTimeLimit{5};

bool endsWithLnk(std::string_view name) {
    constexpr std::string_view kLnk = ".lnk";
    if (name.size() < kLnk.size()) return false;
    return std::equal(kLnk.begin(), kLnk.end(), name.end() - kLnk.size(), [](char a, char b) {
        return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
    });
}

// A value of type string or localestring: escaped by the freedesktop desktop-entry rules,
// and a blank at either end as \s so that no reader trims it away.
std::string escapeValue(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\') {
            text += "\\\\";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\t') {
            text += "\\t";
        } else if (c == '\r') {
            text += "\\r";
        } else if (c == ' ' && (i == 0 || i + 1 == value.size())) {
            text += "\\s";
        } else {
            text += c;
        }
    }
    return text;
}

// The length of the UTF-8 sequence at the start of text, 0 when it is not one (a stray or
// missing continuation byte, a sequence longer than needed, a surrogate, beyond U+10FFFF).
std::size_t utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return 1;
    const std::size_t length = (lead >> 5) == 0x6    ? 2
                               : (lead >> 4) == 0xe  ? 3
                               : (lead >> 3) == 0x1e ? 4
                                                     : 0;
    if (length == 0 || length > text.size()) return 0;
    std::uint32_t code = lead & (0x7fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xc0) != 0x80) return 0;
        code = code << 6 | (next & 0x3fu);
    }
    constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
    return length;
}

// A desktop entry is UTF-8 text: desktops pass over a whole entry with other bytes, so a
// folder named otherwise has no form in one. Nor have control characters other than those
// escaped.
bool representable(std::string_view value) {
    while (!value.empty()) {
        const std::size_t length = utf8SequenceLength(value);
        const auto byte = static_cast<unsigned char>(value[0]);
        if (length == 0 || (byte < 0x20 && byte != '\n' && byte != '\t' && byte != '\r') ||
            byte == 0x7f)
            return false;
        value.remove_prefix(length);
    }
    return true;
}

void markTrusted(const std::string& file) {
    if (!sessionBusAvailable() || ::access(kGio, X_OK) != 0) return;
    runWithTimeLimit({kGio, "set", file, "metadata::trusted", "true"}, kGioTimeLimit);
}

}  // namespace

bool sessionBusAvailable() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime != '/') return false;
    struct stat status {};
    return ::stat((std::string(runtime) + "/bus").c_str(), &status) == 0 &&
           S_ISSOCK(status.st_mode);
}

std::string desktopEntryFileName(std::string_view linkName) {
    if (endsWithLnk(linkName)) linkName.remove_suffix(4);
    return std::string(linkName) + ".desktop";
}

std::string quoteExecArgument(std::string_view argument) {
    const bool quoted =
        argument.empty() || argument.find_first_of(kReservedInExec) != std::string_view::npos;
    std::string text = quoted ? "\"" : "";
    for (const char c : argument) {
        if (c == '%') {
            text += "%%";
            continue;
        }
        if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos) text += '\\';
        text += c;
    }
    if (quoted) text += '"';
    return text;
}

std::string desktopEntryText(const DesktopEntry& entry) {
    std::string exec = quoteExecArgument(entry.target);
    if (!entry.arguments.empty()) exec += " " + entry.arguments;
    std::string text = "[Desktop Entry]\nType=Application\n";
    text += "Name=" + escapeValue(entry.name) + "\n";
    text += "Exec=" + escapeValue(exec) + "\n";
    if (!entry.workingFolder.empty()) text += "Path=" + escapeValue(entry.workingFolder) + "\n";
    text += "Terminal=false\n";
    return text;
}

bool writeDesktopEntry(const std::string& file, const DesktopEntry& entry) {
    if (file.empty() || entry.name.empty() || entry.target.empty()) return false;
    for (const std::string* value :
         {&entry.name, &entry.target, &entry.arguments, &entry.workingFolder}) {
        if (!representable(*value)) return false;
    }
    try {
        replaceFileAtomically(file, desktopEntryText(entry), 0755);
    } catch (const ESystemError&) {
        return false;
    }
    markTrusted(file);
    return true;
}

}  // namespace platform
