#include "node_info.h"

#include <cstring>

namespace shelltree {

namespace {

// The items' bytes after the count: compared after the keys, so that only the same item
// compares equal.
int compareItemBytes(PItemIDList first, PItemIDList second) {
    const auto a = itemData(first), b = itemData(second);
    const std::size_t common = std::min(a.size(), b.size());
    if (common > 1) {
        const int byName = std::memcmp(a.data() + 1, b.data() + 1, common - 1);
        if (byName != 0) return byName;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (a.empty()) return 0;
    return a[0] < b[0] ? -1 : (a[0] > b[0] ? 1 : 0);
}

int byName(const TNodeInfo& first, const TNodeInfo& second) {
    const int byKey = first.sortKey.compare(second.sortKey);
    if (byKey != 0) return byKey < 0 ? -1 : 1;
    const int byBytes = compareItemBytes(first.RelativeIDList.get(), second.RelativeIDList.get());
    return byBytes < 0 ? -1 : (byBytes > 0 ? 1 : 0);
}

}  // namespace

int compareSiblings(const TNodeInfo& first, const TNodeInfo& second, TFileSortType type,
                    TFileSortOrder order) {
    const bool files = isFileItem(first.ItemAttributes) && isFileItem(second.ItemAttributes);
    const int column = files ? type : so_Name;
    const bool ascending = !files || order == so_Ascending;
    int result = 0;
    if (column == so_Name || !first.ParentFolder) {
        result = byName(first, second);
    } else {
        result = first.ParentFolder->CompareIDs(column, first.RelativeIDList.get(),
                                                second.RelativeIDList.get());
        if (result != 0 && result != 1) result = -1;
    }
    return ascending ? result : -result;
}

}  // namespace shelltree
