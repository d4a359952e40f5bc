// The folder tree's label editing, item menu and volumes that come and go.

#include <sys/stat.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <ctime>

#include "framework/application.h"
#include "platform/process.h"
#include "shell_tree.h"

namespace shelltree {

namespace {

// The item a node stands for as its folder and one-item list (the root's relative list is
// its whole list from the desktop).
struct NodeItem {
    std::shared_ptr<ShellFolder> folder;
    IDList item;
};

NodeItem itemOf(const TShellNode& node) {
    const PItemIDList relative = node.Info.RelativeIDList.get();
    const int count = IDListCount(relative);
    if (count <= 1 || !node.Info.ParentFolder) {
        IDList item;
        CopyIDList(item, relative);
        return {node.Info.ParentFolder, std::move(item)};
    }
    const IDList parent = parentIDList(relative);
    return {bindPath(node.Info.ParentFolder, parent.get()), firstItemList(lastItem(relative))};
}

// The desktop's opener of folders, which starts its file manager.
constexpr const char* kFolderOpener = "xdg-open";

// A program by name in the folders of PATH; empty when none is there.
std::string programInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t end = folders.find(':');
        const std::string folder(folders.substr(0, end));
        folders.remove_prefix(end == std::string_view::npos ? folders.size() : end + 1);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

std::string kindText(const struct stat& status, std::uint32_t attributes) {
    std::string kind = S_ISDIR(status.st_mode) ? "Folder" : "File";
    if ((attributes & SFGAO_LINK) != 0) kind += " (symbolic link)";
    return kind;
}

std::string modeText(mode_t mode) {
    static const char letters[] = "rwxrwxrwx";
    std::string text;
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400 >> bit)) != 0 ? letters[bit] : '-';
    return text;
}

std::string timeText(std::time_t time) {
    char buffer[64];
    std::tm local{};
    ::localtime_r(&time, &local);
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

}  // namespace

bool TShellTree::CanEdit(framework::TTreeNode* base) {
    const auto* node = static_cast<TShellNode*>(base);
    return framework::TTreeView::CanEdit(base) &&
           (node->Info.ItemAttributes & SFGAO_CANRENAME) != 0;
}

void TShellTree::Edit(framework::TTreeNode* base, const std::optional<std::string>& text) {
    if (!text) return;
    auto* node = static_cast<TShellNode*>(base);
    std::string name = *text;
    if (!framework::raiseEvent(OnEdited, this, node, name)) return;
    if (node->Rename(name)) node->setText(name);
}

bool TShellTree::AllowPopup(TShellNode* node) {
    if (node == nullptr) return false;
    bool allow = true;
    return framework::raiseEvent(OnPopupMenu, node, allow) && allow;
}

void TShellTree::ContextPopup(const framework::TreeContextRequest& request) {
    auto* node = static_cast<TShellNode*>(request.node);
    if (!AllowPopup(node)) return;
    int x = request.x;
    int y = request.y;
    clientToScreen(x, y);
    IDList previous;
    if (Selected() != nullptr) CopyIDList(previous, Selected()->Info.AbsoluteIDList.get());
    setSelected(node);
    if (PopupMenuMode == pmm_PopupMenu) {
        if (popupMenu() != nullptr) {
            popupMenu()->setPopupComponent(this);
            popupMenu()->popup(x, y);
        }
    } else if (node->Info.ParentFolder) {
        const NodeItem item = itemOf(*node);
        m_menuNode = node;
        ShowItemMenu(item.folder, item.item.get(), 0, *static_cast<ItemMenuHost*>(this), x, y);
        m_menuNode = nullptr;
    }
    // The node may have gone meanwhile; the one selected before is looked up afresh.
    if (previous) {
        if (TShellNode* again = FindNode(previous.get(), false)) setSelected(again);
    }
}

int TShellTree::chooseMenuEntry(const ItemMenu& menu, int x, int y) {
    ItemMenu shown = menu;
    if (m_menuNode != nullptr && !framework::raiseEvent(OnSystemContextMenu, m_menuNode, shown))
        return -1;
    framework::TPopupMenu popup(nullptr);
    std::vector<framework::TMenuItem*> entries;
    for (const ItemMenuEntry& entry : shown.entries) {
        framework::TMenuItem* item = popup.add(entry.caption);
        item->setEnabled(entry.enabled);
        item->setDefault(entry.isDefault);
        entries.push_back(item);
    }
    const framework::TMenuItem* chosen = popup.popup(x, y);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != chosen) continue;
        // Back to the entry of the given menu with the same command.
        for (std::size_t j = 0; j < menu.entries.size(); ++j) {
            if (menu.entries[j].command == shown.entries[i].command) return static_cast<int>(j);
        }
    }
    return -1;
}

bool TShellTree::openInFileManager(const std::string& path) {
    const std::string opener = programInPath(kFolderOpener);
    return !opener.empty() && !path.empty() &&
           platform::startDetached({opener, path}, std::string());
}

bool TShellTree::canOpenInFileManager() const { return !programInPath(kFolderOpener).empty(); }

bool TShellTree::copyPath(const std::string& path) {
    if (path.empty()) return false;
    QGuiApplication::clipboard()->setText(QString::fromStdString(path));
    return true;
}

bool TShellTree::showProperties(const std::string& path, std::uint32_t attributes) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) return false;
    const std::string text = "Name: " + path.substr(path.rfind('/') + 1) + "\nLocation: " + path +
                             "\nKind: " + kindText(status, attributes) +
                             "\nSize: " + std::to_string(status.st_size) + " bytes" +
                             "\nPermissions: " + modeText(status.st_mode) +
                             "\nModified: " + timeText(status.st_mtime);
    framework::Application::instance().messages().showMessage(text);
    return true;
}

// Editing starts once the menu's call has ended and the selection is back: the node is
// found again by its list, since the menu's command may have re-read the tree.
bool TShellTree::renameItem(PItemIDList) {
    if (m_menuNode == nullptr) return false;
    auto list = std::make_shared<IDList>();
    CopyIDList(*list, m_menuNode->Info.AbsoluteIDList.get());
    QTimer::singleShot(0, widget(), [this, list] {
        if (TShellNode* node = FindNode(list->get(), false)) startEditing(node);
    });
    return true;
}

void TShellTree::watchMountTable() {
    if (m_mountNotifier != nullptr) return;
    m_mountTable = std::make_unique<platform::MountTableWatch>();
    if (m_mountTable->descriptor() < 0) return;
    m_mountNotifier =
        new QSocketNotifier(m_mountTable->descriptor(), QSocketNotifier::Exception, widget());
    QObject::connect(m_mountNotifier, &QSocketNotifier::activated, widget(), [this] {
        if (m_mountTable->takeChange()) DrivesChanged();
    });
}

// Only "Computer" lists volumes, and only a tree rooted at the desktop or "Computer" shows
// it. Its identity is checked again, and its volumes are read again at once: the mount table
// says only that something changed.
void TShellTree::DrivesChanged() {
    if (m_rootNode == nullptr || IDListCount(m_rootNode->Info.AbsoluteIDList.get()) > 1 ||
        !m_drivesIDList) {
        return;
    }
    TShellNode* node = FindNode(m_drivesIDList.get(), false);
    if (node == nullptr || !node->expanded()) return;
    {
        const framework::TreeUpdateScope update(items());
        const NodeItem item = itemOf(*node);
        if (item.folder) item.folder->GetAttributesOf(item.item.get(), SFGAO_VALIDATE);
        node->SetIdentity(node->Info.ParentFolder, nullptr, false);
        node->UpdateText();
        node->UpdateIcons();
    }
    RefreshNode(node, false);
}

}  // namespace shelltree
