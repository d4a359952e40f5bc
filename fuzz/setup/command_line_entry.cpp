#include "command_line_entry.h"

#include <cstdlib>

#include "setup/command_options.h"

namespace {

const setup::OfferedChoices& offered() {
    static const setup::OfferedChoices offer{
        "/home/user/Quindor/",
        {{"English", "US"},
         {"Dansk", "DK"},
         {"Fran\xC3\xA7"
          "ais",
          "FR"}},
        {{"British English", "UK"}, {"American English", "US"}, {"Danish", "DA"}}};
    return offer;
}

void require(bool condition) {
    if (!condition) std::abort();
}

bool offers(const std::vector<setup::PageChoice>& choices, const std::string& code) {
    for (const setup::PageChoice& choice : choices) {
        if (choice.code == code) return true;
    }
    return false;
}

void checkInstall(const engine::InstallChoices& choices) {
    require(offers(offered().screenLanguages, choices.screenLanguageCode));
    require(!choices.dictionaryCodes.empty());
    std::size_t row = 0;
    for (const std::string& code : choices.dictionaryCodes) {
        while (row < offered().dictionaries.size() && offered().dictionaries[row].code != code)
            ++row;
        require(row++ < offered().dictionaries.size());
    }
}

}  // namespace

int fuzzCommandLine(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    try {
        const setup::CommandOptions options = setup::CommandOptions::parse(arguments, offered());
        if (options.mode() == setup::CommandOptions::Mode::Install)
            checkInstall(options.installChoices());
    } catch (const setup::EUsageError& error) {
        require(error.what()[0] != '\0');
    }
    return 0;
}
