#pragma once
// The folder tree control: a tree view whose nodes are the namespace below a chosen root,
// read lazily (every expansion re-reads the node's children and merges them with the nodes
// there, so that expansion and selection survive), with a path that can be set and read,
// label editing that renames, the item menu, and volumes that come and go.
//
// "Before the window exists" means before Loaded: until then setters only store, and a Path
// is kept to be selected once the control is loaded.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/popup_menu.h"
#include "framework/tree_view.h"
#include "platform/mount_table.h"
#include "shell_node.h"
#include "shelltree/item_prop.h"
#include "shelltree/masks.h"
#include "shelltree/shell_folder.h"
#include "shelltree/shell_namespace.h"

class QObject;
class QSocketNotifier;

namespace shelltree {
enum TPopupMenuMode : std::uint8_t { pmm_PopupMenu, pmm_System };
}  // namespace shelltree

// The stored names of the tree's published enumerations.
template <>
struct framework::EnumTable<shelltree::TPidls> {
    static constexpr std::string_view what = "value";
    static constexpr EnumName<shelltree::TPidls> names[] = {
        {shelltree::PIDL_DESKTOP, "PIDL_DESKTOP"},
        {shelltree::PIDL_PROGRAMS, "PIDL_PROGRAMS"},
        {shelltree::PIDL_CONTROLS, "PIDL_CONTROLS"},
        {shelltree::PIDL_PRINTERS, "PIDL_PRINTERS"},
        {shelltree::PIDL_PERSONAL, "PIDL_PERSONAL"},
        {shelltree::PIDL_FAVORITES, "PIDL_FAVORITES"},
        {shelltree::PIDL_STARTUP, "PIDL_STARTUP"},
        {shelltree::PIDL_RECENT, "PIDL_RECENT"},
        {shelltree::PIDL_SENDTO, "PIDL_SENDTO"},
        {shelltree::PIDL_BITBUCKET, "PIDL_BITBUCKET"},
        {shelltree::PIDL_STARTMENU, "PIDL_STARTMENU"},
        {shelltree::PIDL_DESKTOPDIRECTORY, "PIDL_DESKTOPDIRECTORY"},
        {shelltree::PIDL_DRIVES, "PIDL_DRIVES"},
        {shelltree::PIDL_NETWORK, "PIDL_NETWORK"},
        {shelltree::PIDL_NETHOOD, "PIDL_NETHOOD"},
        {shelltree::PIDL_FONTS, "PIDL_FONTS"},
        {shelltree::PIDL_TEMPLATES, "PIDL_TEMPLATES"},
        {shelltree::PIDL_USERDEFINED, "PIDL_USERDEFINED"}};
};
template <>
struct framework::EnumTable<shelltree::TVisOption> {
    static constexpr std::string_view what = "value";
    static constexpr EnumName<shelltree::TVisOption> names[] = {
        {shelltree::TF_FOLDERS, "TF_FOLDERS"},
        {shelltree::TF_NONFOLDERS, "TF_NONFOLDERS"},
        {shelltree::TF_HIDDEN, "TF_HIDDEN"}};
};
template <>
struct framework::EnumTable<shelltree::TFileSortType> {
    static constexpr std::string_view what = "value";
    static constexpr EnumName<shelltree::TFileSortType> names[] = {{shelltree::so_Name, "so_Name"},
                                                                   {shelltree::so_Size, "so_Size"},
                                                                   {shelltree::so_Type, "so_Type"},
                                                                   {shelltree::so_Date, "so_Date"}};
};
template <>
struct framework::EnumTable<shelltree::TFileSortOrder> {
    static constexpr std::string_view what = "value";
    static constexpr EnumName<shelltree::TFileSortOrder> names[] = {
        {shelltree::so_Ascending, "so_Ascending"}, {shelltree::so_Descending, "so_Descending"}};
};
template <>
struct framework::EnumTable<shelltree::TPopupMenuMode> {
    static constexpr std::string_view what = "value";
    static constexpr EnumName<shelltree::TPopupMenuMode> names[] = {
        {shelltree::pmm_PopupMenu, "pmm_PopupMenu"}, {shelltree::pmm_System, "pmm_System"}};
};

namespace shelltree {

// (Filename, Attributes, Allow)
using TOnFileAddEvent = framework::PlainEvent<const std::string&, std::uint32_t, bool&>;
using TOnPopupMenuEvent = framework::PlainEvent<TShellNode*, bool&>;        // (Node, Allow)
using TSysCMenuPopupEvent = framework::PlainEvent<TShellNode*, ItemMenu&>;  // (Node, Menu)

class TShellTree : public framework::TTreeView, private ShellMessages, private ItemMenuHost {
    FRAMEWORK_CLASS(framework::TTreeView)

    explicit TShellTree(framework::Component* owner);
    ~TShellTree() override;

    void Loaded() override;
    void Notification(framework::Component* component, framework::Operation operation) override;

    // Published properties, in their stored order.
    bool About() const { return m_about; }
    void setAbout(bool value) { m_about = value; }
    bool ShowVirtualFolders() const { return m_showVirtualFolders; }
    void setShowVirtualFolders(bool value);
    bool ShowSharedOverlay() const { return m_showSharedOverlay; }
    void setShowSharedOverlay(bool value);
    bool ShowLinkOverlay() const { return m_showLinkOverlay; }
    void setShowLinkOverlay(bool value);
    bool RootUsePIDL() const { return m_rootUsePIDL; }
    void setRootUsePIDL(bool value);
    TPidls RootPIDL() const { return m_rootPIDL; }
    void setRootPIDL(TPidls value);
    const std::string& RootDir() const { return m_rootDir; }
    void SetRootDir(const std::string& value);
    TVisOptions Options() const { return m_options; }
    void setOptions(TVisOptions value);
    std::string GetPath() const;
    void SetPath(const std::string& value);
    bool UpdAutoThread = true;  // read by the change monitor's handler
    std::uint32_t NotifyFilter =
        platform::kChangeFileName | platform::kChangeDirName;  // the monitors' filter
    bool UpdAuto = true;                                       // every expansion re-reads the node
    bool UpdAutoRec = false;                                   // ... and its expanded descendants
    bool ShowIcons() const { return m_showIcons; }
    void setShowIcons(bool value);
    std::string FileMask() const { return joinFileMask(m_maskList); }
    void setFileMask(const std::string& value);
    bool FileMaskUse() const { return m_fileMaskUse; }
    void setFileMaskUse(bool value);
    TFileSortType FileSortType() const { return m_fileSortType; }
    void setFileSortType(TFileSortType value);
    TFileSortOrder FileSortOrder() const { return m_fileSortOrder; }
    void setFileSortOrder(TFileSortOrder value);
    TOnFileAddEvent OnFileAdd;
    TPopupMenuMode PopupMenuMode = pmm_System;
    framework::TPopupMenu* PopupMenu() const { return popupMenu(); }
    void setPopupMenuComponent(framework::TPopupMenu* menu);
    bool ShowMessages = true;
    TOnPopupMenuEvent OnPopupMenu;
    // Raised with the item menu before it shows, so that a handler may change it.
    TSysCMenuPopupEvent OnSystemContextMenu;

    // Operations.
    void RefreshAll();
    void RefreshNode(TShellNode* node, bool recursive);
    void Rebuild(bool keepSelection);
    void SetRootIDList(IDList list);
    void SelectPath(const std::string& path);
    // The node of an absolute list: the whole list's node, else the deepest node matched; none
    // when the walk meets a node that is not (and, with expand, cannot be) expanded.
    TShellNode* FindNode(PItemIDList list, bool expand);
    IDList ParsePath(ShellFolder& folder, const std::string& path, bool normalise);
    // Where the namespace may tell the user about failures: the tree while ShowMessages is
    // set, else nobody.
    ShellMessages* ShellOwner();
    TShellNode* RootNode() const { return m_rootNode; }
    TShellNode* Selected() const { return static_cast<TShellNode*>(selected()); }

    // Population (the children of one node, read and merged).
    void PopulateNode(TShellNode* node);
    void SortChildren(TShellNode* node, bool recursive);
    int CompareNodes(const framework::TTreeNode* first, const framework::TTreeNode* second) const;

    // The mount table changed: "Computer" (when shown and expanded) is revalidated.
    void DrivesChanged();
    // The namespace's root: the real desktop unless replaced before loading (tests use a
    // namespace of their own).
    void setDesktopFolder(std::shared_ptr<ShellFolder> desktop) {
        m_desktopFolder = std::move(desktop);
    }
    // Called by a node after a rename: the selection-change event for it.
    void nodeRenamed(TShellNode* node) { Change(node); }
    // Called by a node's change handler: re-reads it one level (at once, or after the tree
    // operation or the monitor's release in progress ends).
    void nodeFolderChanged(TShellNode* node);
    // Called by a node that frees its monitor (around the release) and when it goes.
    void monitorFreeing(bool starts);
    void nodeGone(TShellNode* node);

protected:
    std::unique_ptr<framework::TTreeNode> CreateNode() override;
    bool CanExpand(framework::TTreeNode* base) override;
    bool CanEdit(framework::TTreeNode* base) override;
    void Edit(framework::TTreeNode* base, const std::optional<std::string>& text) override;
    void ContextPopup(const framework::TreeContextRequest& request) override;
    virtual void InitImageList();
    void initImagesWhenShown();
    virtual bool AllowPopup(TShellNode* node);
    virtual void CreateRoot();
    // Starts the change monitor of a populated node with a path and children: its folder
    // and direct sub-folders, the names in them. The node keeps it for its life.
    virtual void startMonitor(TShellNode* node);

private:
    struct AddContext;
    // Marks a tree operation. When the outermost one that allows it ends, the events posted
    // to the tree's own widget (its layout and repaint) are delivered, so that the tree shows
    // the result at once. Nothing else runs there: no timer, no user input and no other
    // window's handler can reach the tree while a walk or the framework holds its nodes,
    // and callers keep their order of events. An expansion delivers nothing itself (the
    // framework goes on with the node after it).
    class Operation {
    public:
        Operation(TShellTree& tree, bool processEvents);
        ~Operation();
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        TShellTree& m_tree;
        bool m_processEvents;
    };
    bool windowExists() const { return m_windowCreated; }
    bool loading() const {
        return hasState(framework::csLoading) || hasState(framework::csReading);
    }
    void CreateWnd();
    TShellNode* matchingChild(TShellNode* node, PItemIDList item);
    void AddChildItem(TShellNode* parent, IDList list, AddContext& context);
    bool keepItem(TShellNode* parent, PItemIDList list, std::uint32_t attributes);
    bool probeHasChildren(TShellNode* node);
    bool inOrder(const TShellNode* node) const;
    void showShellMessage(const std::string& text) override;
    // ItemMenuHost, for the real menu.
    int chooseMenuEntry(const ItemMenu& menu, int x, int y) override;
    bool openInFileManager(const std::string& path) override;
    bool copyPath(const std::string& path) override;
    bool showProperties(const std::string& path, std::uint32_t attributes) override;
    bool renameItem(PItemIDList item) override;
    bool canRename() const override { return !readOnly(); }
    bool canOpenInFileManager() const override;
    void watchMountTable();
    void postChangedNodes();
    void refreshChangedNodes();

    bool m_about = false;
    bool m_showVirtualFolders = true;
    bool m_showSharedOverlay = true;
    bool m_showLinkOverlay = true;
    bool m_rootUsePIDL = true;
    TPidls m_rootPIDL = PIDL_DESKTOP;
    std::string m_rootDir = "/";
    TVisOptions m_options = TF_FOLDERS;
    bool m_showIcons = true;
    std::vector<std::string> m_maskList{"*.*"};
    bool m_fileMaskUse = false;
    TFileSortType m_fileSortType = so_Name;
    TFileSortOrder m_fileSortOrder = so_Ascending;

    std::string m_pendingPath;
    IDList m_desktopIDList;
    IDList m_drivesIDList;
    bool m_expandAllowed = false;
    bool m_imageListReady = false;
    bool m_windowCreated = false;
    IDList m_userRootIDList = IDList::empty();
    std::shared_ptr<ShellFolder> m_desktopFolder;
    TShellNode* m_rootNode = nullptr;
    int m_depth = 0;  // nesting of the operations that may let pending events run
    framework::TImageList* m_systemImages = nullptr;  // owned as a component
    TShellNode* m_menuNode = nullptr;                 // the node whose item menu shows
    std::unique_ptr<platform::MountTableWatch> m_mountTable;
    QSocketNotifier* m_mountNotifier = nullptr;
    // Nodes whose monitor reported while the tree could not re-read them, oldest first,
    // and the object their deferred re-read is posted to (nothing runs once it is gone).
    std::vector<TShellNode*> m_changedNodes;
    std::unique_ptr<QObject> m_changeReceiver;
    bool m_changesPosted = false;
    int m_freeingMonitors = 0;
};

}  // namespace shelltree
