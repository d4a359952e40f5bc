#pragma once

#include <string_view>

namespace setup {

// The stored definition of the page class of that name, compiled into the program;
// empty when there is none.
std::string_view pageDefinition(std::string_view className);

}  // namespace setup
