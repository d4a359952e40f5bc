#include "page_choices.h"

#include <iterator>
#include <stdexcept>

#include "framework/page_definition.h"
#include "language_folder_page.h"
#include "page_definitions.h"

namespace setup {

namespace {

const framework::ObjectNode* findObject(const framework::ObjectNode& node, std::string_view name) {
    if (node.name == name) return &node;
    for (const framework::ObjectNode& child : node.children) {
        if (const framework::ObjectNode* found = findObject(child, name)) return found;
    }
    return nullptr;
}

// A property of one control as a page stores it; every page is compiled in, so a missing
// one is a fault of the build.
framework::PropertyValue storedProperty(std::string_view page, std::string_view control,
                                        std::string_view property) {
    const framework::ObjectNode root = framework::parsePageDefinition(pageDefinition(page));
    if (const framework::ObjectNode* object = findObject(root, control)) {
        for (const framework::PropertyNode& stored : object->properties) {
            if (framework::sameName(stored.name, property)) return stored.value;
        }
    }
    throw std::logic_error(std::string(page) + " stores no " + std::string(control) + "." +
                           std::string(property));
}

framework::StringList storedRows(std::string_view page, std::string_view control) {
    return framework::toStringList(storedProperty(page, control, "Items"), "Items");
}

}  // namespace

std::vector<PageChoice> screenLanguageChoices() {
    std::vector<PageChoice> choices;
    for (const std::string& name : storedRows("TisForm3", "ComboBox1")) {
        choices.push_back({name, screenLanguageCode(name)});
    }
    return choices;
}

std::vector<PageChoice> dictionaryChoices() {
    const framework::StringList rows = storedRows("Tisform4", "CheckListBox1");
    if (rows.size() != std::size(kDictionaryCodes)) {
        throw std::logic_error("the dictionary page's rows and codes differ in number");
    }
    std::vector<PageChoice> choices;
    for (std::size_t row = 0; row < rows.size(); ++row)
        choices.push_back({rows[row], kDictionaryCodes[row]});
    return choices;
}

std::string installedText() {
    return framework::toText(storedProperty("Tisform6", "Label2", "Caption"), "Caption");
}

OfferedChoices offeredByThePages() {
    return {defaultTargetFolder(), screenLanguageChoices(), dictionaryChoices()};
}

}  // namespace setup
