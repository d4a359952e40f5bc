#pragma once
// What the install pages offer, read from their stored definitions without a window, for
// the unattended mode: the screen-language box's rows with their codes, the dictionary
// page's rows with their archive codes, and the finish page's text after an install.

#include <string>
#include <vector>

namespace setup {

// What the dictionary page says when its Next> finds no row marked.
inline constexpr const char* kNoDictionaryMessage = "Please select at least one language!";

// The archive codes of the dictionary page's rows, in row order.
inline constexpr const char* kDictionaryCodes[] = {"UK", "US", "DA", "NL", "DE", "FR", "PL", "RU",
                                                   "CZ", "SK", "SI", "IT", "SP", "SE", "ZA"};

struct PageChoice {
    std::string name;  // as the row shows it
    std::string code;
};

// The rows of the language box, each with the code that choosing it gives.
std::vector<PageChoice> screenLanguageChoices();
// The dictionary rows, each with the code of its archive.
std::vector<PageChoice> dictionaryChoices();
// What the finish page says after an install.
std::string installedText();

// What the pages offer an install: the folder box's text at start, the language box's rows
// (the first chosen at start) and the dictionary rows.
struct OfferedChoices {
    std::string defaultFolder;
    std::vector<PageChoice> screenLanguages;
    std::vector<PageChoice> dictionaries;
};
OfferedChoices offeredByThePages();

}  // namespace setup
