#pragma once
// The namespace's two virtual folders: the desktop (its root: "Computer" first, then what
// the user's desktop folder holds) and "Computer" (the places of places.h).

#include <memory>
#include <string>

#include "file_system_folder.h"
#include "places.h"

namespace shelltree {

class ComputerFolder : public ShellFolder {
public:
    std::unique_ptr<ItemEnumerator> EnumObjects(ShellMessages* owner, std::uint32_t flags) override;
    std::optional<std::uint32_t> GetAttributesOf(PItemIDList item,
                                                 std::uint32_t requested) override;
    std::shared_ptr<ShellFolder> BindToObject(PItemIDList item) override;
    int CompareIDs(int column, PItemIDList first, PItemIDList second) override;
    std::optional<std::string> GetDisplayNameOf(PItemIDList item, std::uint32_t flags) override;
    IDList SetNameOf(ShellMessages* owner, PItemIDList item, const std::string& name) override;
    // An absolute path: its place followed by the path below it.
    IDList ParseDisplayName(ShellMessages* owner, const std::string& name,
                            std::uint32_t* attributes) override;
    std::string nameSortKey(PItemIDList item) override;

private:
    platform::SubFolderTest m_subFolders;
};

class DesktopFolder : public ShellFolder {
public:
    // `desktopPath`: the user's desktop folder (its entries follow "Computer" when it exists).
    explicit DesktopFolder(std::string desktopPath);

    std::unique_ptr<ItemEnumerator> EnumObjects(ShellMessages* owner, std::uint32_t flags) override;
    std::optional<std::uint32_t> GetAttributesOf(PItemIDList item,
                                                 std::uint32_t requested) override;
    std::shared_ptr<ShellFolder> BindToObject(PItemIDList item) override;
    int CompareIDs(int column, PItemIDList first, PItemIDList second) override;
    std::optional<std::string> GetDisplayNameOf(PItemIDList item, std::uint32_t flags) override;
    IDList SetNameOf(ShellMessages* owner, PItemIDList item, const std::string& name) override;
    // An absolute path opens under "Computer" at its canonical place; another name is looked
    // up in the desktop folder.
    IDList ParseDisplayName(ShellMessages* owner, const std::string& name,
                            std::uint32_t* attributes) override;
    std::string nameSortKey(PItemIDList item) override;

private:
    bool isComputer(PItemIDList item) const;

    std::shared_ptr<FileSystemFolder> m_folder;  // nullptr without a desktop folder
};

}  // namespace shelltree
