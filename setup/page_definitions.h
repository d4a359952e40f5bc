#pragma once

#include <string_view>
#include <vector>

namespace setup {

// The stored definition of the page class of that name, compiled into the program;
// empty when there is none.
std::string_view pageDefinition(std::string_view className);
// The classes of all stored definitions, in the order the pages are made.
std::vector<std::string_view> pageClassNames();

}  // namespace setup
