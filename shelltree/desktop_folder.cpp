#include "desktop_folder.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "shell_flags.h"

namespace shelltree {

namespace {

constexpr std::uint32_t kComputerAttributes =
    SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASPROPSHEET;

// Yields prepared items, then (optionally) those of another enumerator.
class ListEnumerator : public ItemEnumerator {
public:
    ListEnumerator(std::vector<IDList> items, std::unique_ptr<ItemEnumerator> more)
        : m_items(std::move(items)), m_more(std::move(more)) {}
    void Reset() override {
        m_next = 0;
        if (m_more) m_more->Reset();
    }
    IDList Next() override {
        if (m_next < m_items.size()) {
            IDList copy;
            CopyIDList(copy, m_items[m_next++].get());
            return copy;
        }
        return m_more ? m_more->Next() : IDList();
    }

private:
    std::vector<IDList> m_items;
    std::unique_ptr<ItemEnumerator> m_more;
    std::size_t m_next = 0;
};

int kindRank(ItemKind kind) {
    switch (kind) {
        case ItemKind::RootPlace: return 0;
        case ItemKind::HomePlace: return 1;
        default: return 2;
    }
}

std::optional<Place> placeOf(PItemIDList item) {
    const auto id = readItem(item);
    if (!id || !isPlaceKind(id->kind)) return std::nullopt;
    return Place{id->kind, std::string(id->text)};
}

std::string_view pathBelow(std::string_view path, const Place& place) {
    path.remove_prefix(place.path == "/" ? 1 : place.path.size());
    while (!path.empty() && path.front() == '/') path.remove_prefix(1);
    return path;
}

// An absolute path with "." and ".." resolved and without a final '/' (except the root).
std::string lexicalPath(const std::string& path) {
    const std::string resolved = platform::absolutePath(path);
    return resolved == "/" ? resolved : platform::withoutFinalSeparator(resolved);
}

}  // namespace

std::unique_ptr<ItemEnumerator> ComputerFolder::EnumObjects(ShellMessages*, std::uint32_t flags) {
    std::vector<IDList> items;
    if ((flags & SHCONTF_FOLDERS) != 0) {
        for (const Place& place : computerPlaces()) {
            if (auto item = makeItemList(place.kind, place.path)) items.push_back(std::move(*item));
        }
    }
    return std::make_unique<ListEnumerator>(std::move(items), nullptr);
}

std::optional<std::uint32_t> ComputerFolder::GetAttributesOf(PItemIDList item,
                                                             std::uint32_t requested) {
    const auto place = placeOf(item);
    if (!place || !platform::folderExists(place->path)) return std::nullopt;
    std::uint32_t attributes =
        SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASPROPSHEET;
    if (place->kind == ItemKind::VolumePlace) attributes |= SFGAO_REMOVABLE;
    if ((requested & SFGAO_HASSUBFOLDER) != 0 && m_subFolders.hasSubFolder(place->path, false)) {
        attributes |= SFGAO_HASSUBFOLDER;
    }
    return attributes & requested;
}

std::shared_ptr<ShellFolder> ComputerFolder::BindToObject(PItemIDList item) {
    const auto place = placeOf(item);
    return place ? std::make_shared<FileSystemFolder>(place->path) : nullptr;
}

int ComputerFolder::CompareIDs(int, PItemIDList first, PItemIDList second) {
    if (SameItemID(first, second)) return 0;
    const auto a = placeOf(first), b = placeOf(second);
    if (!a || !b) return a ? 1 : -1;
    if (kindRank(a->kind) != kindRank(b->kind))
        return kindRank(a->kind) < kindRank(b->kind) ? -1 : 1;
    return a->path < b->path ? -1 : 1;
}

std::string ComputerFolder::nameSortKey(PItemIDList item) {
    const auto place = placeOf(item);
    return place ? std::to_string(kindRank(place->kind)) + place->path : std::string();
}

std::optional<std::string> ComputerFolder::GetDisplayNameOf(PItemIDList item, std::uint32_t flags) {
    const auto place = placeOf(item);
    if (!place) return std::nullopt;
    if ((flags & SHGDN_FORPARSING) != 0) return place->path;
    return placeDisplayName(place->kind, place->path);
}

IDList ComputerFolder::SetNameOf(ShellMessages*, PItemIDList, const std::string&) { return {}; }

IDList ComputerFolder::ParseDisplayName(ShellMessages* owner, const std::string& name,
                                        std::uint32_t* attributes) {
    const auto places = computerPlaces();
    const Place* place = canonicalPlace(places, name);
    if (place == nullptr) return {};
    auto placeItem = makeItemList(place->kind, place->path);
    if (!placeItem) return {};
    const std::string_view below = pathBelow(name, *place);
    if (below.empty()) {
        if (attributes != nullptr)
            *attributes = GetAttributesOf(placeItem->get(), *attributes).value_or(0);
        return std::move(*placeItem);
    }
    auto folder = std::make_shared<FileSystemFolder>(place->path);
    IDList rest = folder->ParseDisplayName(owner, std::string(below), attributes);
    if (!rest) return {};
    return concatIDLists(placeItem->get(), rest.get());
}

DesktopFolder::DesktopFolder(std::string desktopPath) {
    if (platform::folderExists(desktopPath)) {
        m_folder = std::make_shared<FileSystemFolder>(std::move(desktopPath));
    }
}

bool DesktopFolder::isComputer(PItemIDList item) const {
    const auto id = readItem(item);
    return id && id->kind == ItemKind::Computer;
}

std::unique_ptr<ItemEnumerator> DesktopFolder::EnumObjects(ShellMessages* owner,
                                                           std::uint32_t flags) {
    std::vector<IDList> items;
    if ((flags & SHCONTF_FOLDERS) != 0) {
        if (auto computer = makeItemList(ItemKind::Computer, ""))
            items.push_back(std::move(*computer));
    }
    auto more = m_folder ? m_folder->EnumObjects(owner, flags) : nullptr;
    return std::make_unique<ListEnumerator>(std::move(items), std::move(more));
}

std::optional<std::uint32_t> DesktopFolder::GetAttributesOf(PItemIDList item,
                                                            std::uint32_t requested) {
    if (isComputer(item)) return kComputerAttributes & requested;
    return m_folder ? m_folder->GetAttributesOf(item, requested) : std::nullopt;
}

std::shared_ptr<ShellFolder> DesktopFolder::BindToObject(PItemIDList item) {
    if (isComputer(item)) return std::make_shared<ComputerFolder>();
    return m_folder ? m_folder->BindToObject(item) : nullptr;
}

int DesktopFolder::CompareIDs(int column, PItemIDList first, PItemIDList second) {
    if (SameItemID(first, second)) return 0;
    if (isComputer(first)) return -1;
    if (isComputer(second)) return 1;
    return m_folder ? m_folder->CompareIDs(column, first, second) : -1;
}

std::string DesktopFolder::nameSortKey(PItemIDList item) {
    if (isComputer(item)) return {};
    return m_folder ? "~" + m_folder->nameSortKey(item) : std::string();
}

std::optional<std::string> DesktopFolder::GetDisplayNameOf(PItemIDList item, std::uint32_t flags) {
    if (isComputer(item)) {
        if ((flags & SHGDN_FORPARSING) != 0) return std::nullopt;
        return "Computer";
    }
    return m_folder ? m_folder->GetDisplayNameOf(item, flags) : std::nullopt;
}

IDList DesktopFolder::SetNameOf(ShellMessages* owner, PItemIDList item, const std::string& name) {
    if (isComputer(item) || !m_folder) return {};
    return m_folder->SetNameOf(owner, item, name);
}

IDList DesktopFolder::ParseDisplayName(ShellMessages* owner, const std::string& name,
                                       std::uint32_t* attributes) {
    if (name.empty()) return {};
    if (name.front() != '/') {
        return m_folder ? m_folder->ParseDisplayName(owner, name, attributes) : IDList();
    }
    auto computer = makeItemList(ItemKind::Computer, "");
    ComputerFolder folder;
    IDList below = folder.ParseDisplayName(owner, lexicalPath(name), attributes);
    if (!computer || !below) return {};
    return concatIDLists(computer->get(), below.get());
}

}  // namespace shelltree
