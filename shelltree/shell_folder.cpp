#include "shell_folder.h"

#include "name_order.h"
#include "shell_flags.h"

namespace shelltree {

std::string ShellFolder::nameSortKey(PItemIDList item) {
    return shelltree::nameSortKey(GetDisplayNameOf(item, SHGDN_NORMAL).value_or(std::string()));
}

}  // namespace shelltree
