#pragma once
// The pages' stored definitions, read ahead of making the pages: on the start-up thread,
// while the display is being connected, so that making the pages is left with the pages.

#include <map>
#include <string>
#include <string_view>

#include "framework/page_definition.h"

namespace setup {

class PageTrees {
public:
    // Reads every page's definition. Free of Qt; one that cannot be read is left out, and
    // its page reads it, and fails, when it is made.
    void readAll();
    // The page's definition as read ahead, taken out; read now when it was not read ahead.
    framework::ObjectNode take(std::string_view className);

private:
    std::map<std::string, framework::ObjectNode, std::less<>> m_trees;
};

}  // namespace setup
