#include "page_trees.h"

#include <exception>

#include "page_definitions.h"

namespace setup {

void PageTrees::readAll() {
    for (const std::string_view name : pageClassNames()) {
        try {
            m_trees.emplace(name, framework::parsePageDefinition(pageDefinition(name)));
        } catch (const std::exception&) {
            // Left to the page, which names the fault when it is made.
        }
    }
}

framework::ObjectNode PageTrees::take(std::string_view className) {
    const auto found = m_trees.find(className);
    if (found == m_trees.end()) return framework::parsePageDefinition(pageDefinition(className));
    framework::ObjectNode tree = std::move(found->second);
    m_trees.erase(found);
    return tree;
}

}  // namespace setup
