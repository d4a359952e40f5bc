#include "command_options.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string_view>

namespace setup {

namespace {

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    std::string_view mode;  // the option of the mode it goes with (a mode's own name)
};

constexpr OptionSpec kOptions[] = {
    {"install", false, "install"},     {"uninstall", false, "uninstall"},
    {"help", false, "help"},           {"version", false, "version"},
    {"folder", true, "install"},       {"language", true, "install"},
    {"dictionaries", true, "install"}, {"shortcuts", true, "install"},
    {"yes", false, "uninstall"},
};

// The options given, by name, with their values (empty for those without).
using GivenOptions = std::map<std::string, std::string, std::less<>>;

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

const OptionSpec* findSpec(std::string_view name) {
    for (const OptionSpec& known : kOptions) {
        if (known.name == name) return &known;
    }
    return nullptr;
}

const OptionSpec& specOf(const std::string& argument) {
    const std::size_t equals = argument.find('=');
    const OptionSpec* known =
        argument.starts_with("--") ? findSpec(argument.substr(2, equals - 2)) : nullptr;
    if (known == nullptr) {
        throw EUsageError("Unknown option " + quoted(argument) +
                          " (setup --help lists the options).");
    }
    return *known;
}

// The value of the option at arguments[index], moving index past a value that follows it.
std::string valueOf(const OptionSpec& known, const std::vector<std::string>& arguments,
                    std::size_t& index) {
    const std::string& argument = arguments[index];
    const std::string option = "--" + std::string(known.name);
    if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
        if (!known.takesValue) throw EUsageError(option + " takes no value.");
        return argument.substr(equals + 1);
    }
    if (!known.takesValue) return {};
    if (++index == arguments.size()) throw EUsageError(option + " needs a value.");
    return arguments[index];
}

void refuseArgument(const std::string& argument) {
    throw EUsageError("Unexpected argument " + quoted(argument) + ": setup takes options only.");
}

GivenOptions readOptions(const std::vector<std::string>& arguments) {
    GivenOptions given;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--") {
            if (index + 1 < arguments.size()) refuseArgument(arguments[index + 1]);
            break;
        }
        if (!argument.starts_with('-') || argument == "-") refuseArgument(argument);
        const OptionSpec& known = specOf(argument);
        if (!given.emplace(known.name, valueOf(known, arguments, index)).second) {
            throw EUsageError("--" + std::string(known.name) + " is given more than once.");
        }
    }
    return given;
}

// The one mode option given; every other option must go with it.
std::string_view modeOf(const GivenOptions& given) {
    std::string_view mode;
    for (const auto& [name, value] : given) {
        if (findSpec(name)->mode != name) continue;
        if (!mode.empty()) {
            throw EUsageError("--" + std::string(mode) + " and --" + name + " cannot be combined.");
        }
        mode = findSpec(name)->mode;
    }
    if (mode.empty()) throw EUsageError("Give one of --install, --uninstall, --help or --version.");
    for (const auto& [name, value] : given) {
        if (findSpec(name)->mode != mode) {
            throw EUsageError("--" + name + " goes with --" + std::string(findSpec(name)->mode) +
                              " only.");
        }
    }
    return mode;
}

bool sameAscii(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::vector<std::string> splitList(const std::string& value) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (std::size_t comma; (comma = value.find(',', start)) != std::string::npos;
         start = comma + 1) {
        items.push_back(value.substr(start, comma - start));
    }
    items.push_back(value.substr(start));
    return items;
}

std::string languageCode(const std::vector<PageChoice>& languages, const std::string& value) {
    std::string valid;
    for (const PageChoice& choice : languages) {
        if (sameAscii(value, choice.name) || sameAscii(value, choice.code)) return choice.code;
        valid += (valid.empty() ? "" : ", ") + choice.name + " (" + choice.code + ")";
    }
    throw EUsageError("Unknown screen language " + quoted(value) + ". The languages are: " + valid +
                      ".");
}

std::size_t dictionaryRow(const std::vector<PageChoice>& rows, const std::string& code) {
    std::string valid;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (sameAscii(code, rows[row].code)) return row;
        valid += (valid.empty() ? "" : ", ") + rows[row].code;
    }
    throw EUsageError("Unknown dictionary code " + quoted(code) + ". The codes are: " + valid +
                      ".");
}

// The marked rows' codes in row order, each once, as the page hands them over.
std::vector<std::string> dictionaryCodes(const std::vector<PageChoice>& rows,
                                         const std::string& value) {
    if (value.empty()) throw EUsageError(kNoDictionaryMessage);
    std::vector<bool> marked(rows.size());
    for (const std::string& code : splitList(value)) marked[dictionaryRow(rows, code)] = true;
    std::vector<std::string> codes;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (marked[row]) codes.push_back(rows[row].code);
    }
    return codes;
}

bool& shortcutBox(engine::InstallChoices& choices, const std::string& name) {
    if (sameAscii(name, "desktop")) return choices.desktopShortcut;
    if (sameAscii(name, "startmenu")) return choices.startMenuShortcut;
    if (sameAscii(name, "programs")) return choices.programsShortcut;
    if (sameAscii(name, "none")) throw EUsageError("--shortcuts none stands alone.");
    throw EUsageError("Unknown shortcut " + quoted(name) +
                      ". The shortcuts are desktop, startmenu and programs (any of them, separated "
                      "by commas), or none.");
}

void chooseShortcuts(engine::InstallChoices& choices, const std::string& value) {
    choices.desktopShortcut = choices.startMenuShortcut = choices.programsShortcut = false;
    if (sameAscii(value, "none")) return;
    for (const std::string& name : splitList(value)) shortcutBox(choices, name) = true;
}

std::string valueOr(const GivenOptions& given, std::string_view name, const std::string& fallback) {
    const auto found = given.find(name);
    return found == given.end() ? fallback : found->second;
}

engine::InstallChoices choicesOf(const GivenOptions& given, const OfferedChoices& offered) {
    engine::InstallChoices choices;
    choices.folderText = valueOr(given, "folder", offered.defaultFolder);
    const std::vector<PageChoice>& languages = offered.screenLanguages;
    choices.screenLanguageCode = given.contains("language")
                                     ? languageCode(languages, given.find("language")->second)
                                     : languages.at(0).code;
    if (!given.contains("dictionaries")) throw EUsageError(kNoDictionaryMessage);
    choices.dictionaryCodes =
        dictionaryCodes(offered.dictionaries, given.find("dictionaries")->second);
    if (given.contains("shortcuts")) chooseShortcuts(choices, given.find("shortcuts")->second);
    return choices;
}

}  // namespace

CommandOptions CommandOptions::parse(const std::vector<std::string>& arguments,
                                     const OfferedChoices& offered) {
    CommandOptions options;
    const GivenOptions given = readOptions(arguments);
    const std::string_view mode = modeOf(given);
    if (mode == "install") {
        options.m_mode = Mode::Install;
        options.m_choices = choicesOf(given, offered);
    } else if (mode == "uninstall") {
        options.m_mode = Mode::Uninstall;
        options.m_answerYes = given.contains("yes");
    } else {
        options.m_mode = mode == "help" ? Mode::Help : Mode::Version;
    }
    return options;
}

}  // namespace setup
