#include "xdg_folders.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "environment.h"
#include "system.h"

namespace platform {

namespace {

// user-dirs.dirs holds a few short lines; more than this is not one.
constexpr std::size_t kLargestUserDirsFile = 64 * 1024;

std::string withoutFinalSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// "base/relative", without a doubled separator when base is the root.
std::string joined(const std::string& base, std::string_view relative) {
    std::string path = base;
    if (path.empty() || path.back() != '/') path += '/';
    path += relative;
    return withoutFinalSlashes(std::move(path));
}

// The variable's value when it is an absolute path; empty and relative values do not count.
std::optional<std::string> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return withoutFinalSlashes(value);
}

// The shell word at the start of text: "double quoted" with backslash escapes, or bare up to
// the first blank. Nothing when the quotes are not closed.
std::optional<std::string> shellWord(std::string_view text) {
    const bool quoted = !text.empty() && text.front() == '"';
    std::string word;
    for (std::size_t i = quoted ? 1 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"') return word;
        if (!quoted && (c == ' ' || c == '\t')) break;
        if (c == '\\' && i + 1 < text.size()) {
            word += text[++i];
        } else {
            word += c;
        }
    }
    if (quoted) return std::nullopt;
    return word;
}

// "$HOME/x" and "${HOME}/x" become home/x; absolute paths stay; anything else is refused.
std::optional<std::string> expandedFolder(const std::string& value, const std::string& home) {
    for (const std::string_view prefix : {std::string_view("$HOME"), std::string_view("${HOME}")}) {
        if (value.starts_with(prefix)) {
            const std::string_view rest = std::string_view(value).substr(prefix.size());
            if (rest.empty()) return home;
            if (rest.front() == '/') return joined(home, rest.substr(1));
        }
    }
    if (!value.empty() && value.front() == '/') return withoutFinalSlashes(value);
    return std::nullopt;
}

struct NamedFolder {
    std::string_view variable;
    std::string UserFolders::*member;
    std::string_view defaultName;
};

constexpr NamedFolder kNamedFolders[] = {
    {"XDG_DESKTOP_DIR", &UserFolders::desktop, "Desktop"},
    {"XDG_DOCUMENTS_DIR", &UserFolders::documents, "Documents"},
    {"XDG_TEMPLATES_DIR", &UserFolders::templates, "Templates"},
    {"XDG_DOWNLOAD_DIR", &UserFolders::download, "Downloads"},
    {"XDG_MUSIC_DIR", &UserFolders::music, "Music"},
    {"XDG_PICTURES_DIR", &UserFolders::pictures, "Pictures"},
    {"XDG_VIDEOS_DIR", &UserFolders::videos, "Videos"},
    {"XDG_PUBLICSHARE_DIR", &UserFolders::publicShare, "Public"},
};

void applyLine(std::string_view line, const std::string& home, UserFolders& folders) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] == '#') return;
    line.remove_prefix(start);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view variable = line.substr(0, equals);
    for (const NamedFolder& named : kNamedFolders) {
        if (variable != named.variable) continue;
        const auto word = shellWord(line.substr(equals + 1));
        if (!word) return;
        if (auto folder = expandedFolder(*word, home)) folders.*named.member = std::move(*folder);
        return;
    }
}

}  // namespace

std::string configHomeFolder() {
    return absoluteVariable("XDG_CONFIG_HOME").value_or(joined(homeFolder(), ".config"));
}

std::string dataHomeFolder() {
    return absoluteVariable("XDG_DATA_HOME").value_or(joined(homeFolder(), ".local/share"));
}

UserFolders userFolders() {
    const std::string home = homeFolder();
    UserFolders folders;
    folders.configHome = configHomeFolder();
    folders.dataHome = dataHomeFolder();
    for (const NamedFolder& named : kNamedFolders) {
        folders.*named.member = joined(home, named.defaultName);
    }
    std::optional<std::string> text;
    try {
        text = readRegularFile(joined(folders.configHome, "user-dirs.dirs"), kLargestUserDirsFile);
    } catch (const ESystemError&) {
        return folders;  // a pipe, a device, too large or unreadable: the defaults
    }
    std::string_view rest = text ? std::string_view(*text) : std::string_view();
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        applyLine(line, home, folders);
    }
    return folders;
}

}  // namespace platform
