#pragma once
// Reads desktop entries back as a desktop would: unescapes values and splits Exec into
// arguments by the freedesktop desktop-entry rules.

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// Undoes the escapes of a string value (\s \n \t \r \\).
inline std::string unescapeValue(const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const char next = value[++i];
        const std::string_view from = "sntr\\";
        const std::string_view to = " \n\t\r\\";
        const std::size_t at = from.find(next);
        if (at == std::string_view::npos) throw std::runtime_error("unknown escape");
        text += to[at];
    }
    return text;
}

// Splits an unescaped Exec value into arguments: blanks separate, double quotes group with
// \" \` \$ \\ escaped inside, reserved characters outside quotes are an error, and %% stands
// for a literal % everywhere.
inline std::vector<std::string> splitExec(const std::string& exec) {
    const std::string_view reserved = "\t\n\"'\\><~|&;$*?#()`";
    std::vector<std::string> arguments;
    std::optional<std::string> current;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '%') {
            if (i + 1 == exec.size() || exec[i + 1] != '%') throw std::runtime_error("field code");
            current = current.value_or("") + '%';
            ++i;
        } else if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\') {
                if (i + 1 == exec.size() ||
                    std::string_view("\"`$\\").find(exec[i + 1]) == std::string_view::npos) {
                    throw std::runtime_error("bad escape in quotes");
                }
                current = *current + exec[++i];
            } else {
                current = *current + c;
            }
        } else if (c == ' ') {
            if (current) arguments.push_back(*current);
            current.reset();
        } else if (c == '"') {
            if (current) throw std::runtime_error("quote inside an argument");
            current = "";
            quoted = true;
        } else if (reserved.find(c) != std::string_view::npos) {
            throw std::runtime_error(std::string("unquoted reserved character ") + c);
        } else {
            current = current.value_or("") + c;
        }
    }
    if (quoted) throw std::runtime_error("unterminated quotes");
    if (current) arguments.push_back(*current);
    return arguments;
}

// The keys of the [Desktop Entry] group, unescaped.
inline std::map<std::string, std::string> readKeys(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    if (line != "[Desktop Entry]") throw std::runtime_error("no group header");
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) throw std::runtime_error("not a key: " + line);
        keys[line.substr(0, equals)] = unescapeValue(line.substr(equals + 1));
    }
    return keys;
}

}  // namespace testing_support
