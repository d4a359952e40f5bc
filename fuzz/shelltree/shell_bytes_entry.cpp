#include "shell_bytes_entry.h"

#include <span>
#include <string_view>

#include "platform/mount_table.h"
#include "shelltree/id_list.h"
#include "shelltree/item_id.h"
#include "shelltree/masks.h"

namespace {

void readAsIDList(std::span<const std::uint8_t> bytes) {
    const auto list = shelltree::IDList::fromBytes(bytes);
    if (!list) return;
    const int count = shelltree::IDListCount(list->get());
    for (int i = 0; i < count; ++i) shelltree::readItem(shelltree::itemAt(list->get(), i));
    const shelltree::IDList parent = shelltree::parentIDList(list->get());
    const shelltree::IDList joined = shelltree::concatIDLists(parent.get(), list->get());
    shelltree::SameItemID(joined.get(), list->get());
}

void readAsMask(std::string_view text) {
    const std::size_t newline = text.find('\n');
    const std::string_view mask = text.substr(0, newline);
    const std::string_view name = newline == std::string_view::npos ? "" : text.substr(newline + 1);
    shelltree::MatchesAnyMask(name, shelltree::parseFileMask(mask));
    shelltree::MaskMatches(name, mask);
}

}  // namespace

int fuzzShellBytes(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    readAsIDList(bytes);
    readAsMask(text);
    platform::volumeMountPoints(platform::parseMountPoints(text));
    return 0;
}
