#include "shell_tree.h"

#include <array>
#include <cstring>

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <functional>

#include "framework/application.h"
#include "framework/image_list.h"
#include "normalize_path.h"
#include "shell_images.h"

namespace shelltree {

using framework::ClassInfo;

namespace {

constexpr int kDesktopCsidl = 0;
constexpr int kDrivesCsidl = 17;
constexpr std::size_t kMaxParsedPath = 4096;

}  // namespace

TShellTree::TShellTree(framework::Component* owner) : framework::TTreeView(owner) {
    setHideSelection(false);
    setSortCallback([this](const framework::TTreeNode* a, const framework::TTreeNode* b) {
        return CompareNodes(a, b);
    });
    setWidth(170);
    setHeight(270);
    m_desktopFolder = desktopFolder();
    m_systemImages = new framework::TImageList(this);
}

TShellTree::~TShellTree() {
    // The nodes go while the tree's own parts (images, folders) still exist; no selection
    // change reaches a page that is going away.
    OnChange = nullptr;
    m_rootNode = nullptr;
    ++m_depth;  // no monitor's report re-reads a node while they go
    items().clear();
}

const ClassInfo& TShellTree::staticClassInfo() {
    using T = TShellTree;
    using framework::memberProperty;
    using framework::valueProperty;
    return framework::declareClass<TShellTree>("TShellTree", [] {
        return std::vector<framework::PropertyInfo>{
            valueProperty("About", &T::About, &T::setAbout),
            valueProperty("ShowVirtualFolders", &T::ShowVirtualFolders, &T::setShowVirtualFolders),
            valueProperty("ShowSharedOverlay", &T::ShowSharedOverlay, &T::setShowSharedOverlay),
            valueProperty("ShowLinkOverlay", &T::ShowLinkOverlay, &T::setShowLinkOverlay),
            valueProperty("RootUsePIDL", &T::RootUsePIDL, &T::setRootUsePIDL),
            valueProperty("RootPIDL", &T::RootPIDL, &T::setRootPIDL),
            valueProperty("RootDir", &T::RootDir, &T::SetRootDir),
            framework::flagsProperty<TVisOption>("Options", &T::Options, &T::setOptions),
            valueProperty("Path", &T::GetPath, &T::SetPath),
            memberProperty("UpdAutoThread", &T::UpdAutoThread),
            memberProperty("UpdAuto", &T::UpdAuto),
            memberProperty("UpdAutoRec", &T::UpdAutoRec),
            valueProperty("ShowIcons", &T::ShowIcons, &T::setShowIcons),
            valueProperty("FileMask", &T::FileMask, &T::setFileMask),
            valueProperty("FileMaskUse", &T::FileMaskUse, &T::setFileMaskUse),
            valueProperty("FileSortType", &T::FileSortType, &T::setFileSortType),
            valueProperty("FileSortOrder", &T::FileSortOrder, &T::setFileSortOrder),
            memberProperty("PopupMenuMode", &T::PopupMenuMode),
            memberProperty("ShowMessages", &T::ShowMessages),
        };
    });
}

std::unique_ptr<framework::TTreeNode> TShellTree::CreateNode() {
    return std::make_unique<TShellNode>(&items(), this);
}

void TShellTree::Loaded() {
    framework::TTreeView::Loaded();
    CreateWnd();
    Rebuild(false);
    if (!m_pendingPath.empty()) SetPath(std::exchange(m_pendingPath, std::string()));
}

void TShellTree::CreateWnd() {
    m_windowCreated = true;
    m_desktopIDList = specialFolderLocation(kDesktopCsidl);
    m_drivesIDList = specialFolderLocation(kDrivesCsidl);
    watchMountTable();
}

void TShellTree::Notification(framework::Component* component, framework::Operation operation) {
    framework::TTreeView::Notification(component, operation);
    if (operation == framework::Operation::Remove && component == popupMenu())
        setPopupMenu(nullptr);
    if (operation == framework::Operation::Remove && component == m_systemImages)
        m_systemImages = nullptr;
}

void TShellTree::setPopupMenuComponent(framework::TPopupMenu* menu) { setPopupMenu(menu); }

ShellMessages* TShellTree::ShellOwner() { return ShowMessages ? this : nullptr; }

void TShellTree::showShellMessage(const std::string& text) {
    framework::Application::instance().messages().showMessage(text);
}

void TShellTree::setShowVirtualFolders(bool value) {
    if (m_showVirtualFolders == value) return;
    m_showVirtualFolders = value;
    if (!loading()) RefreshAll();
}

void TShellTree::setShowSharedOverlay(bool value) {
    if (m_showSharedOverlay == value) return;
    m_showSharedOverlay = value;
    RefreshAll();
}

void TShellTree::setShowLinkOverlay(bool value) {
    if (m_showLinkOverlay == value) return;
    m_showLinkOverlay = value;
    RefreshAll();
}

void TShellTree::setRootUsePIDL(bool value) {
    if (m_rootUsePIDL == value) return;
    m_rootUsePIDL = value;
    if (windowExists()) Rebuild(false);
}

void TShellTree::setRootPIDL(TPidls value) {
    if (m_rootPIDL == value) return;
    m_rootPIDL = value;
    if (windowExists() && m_rootUsePIDL) Rebuild(false);
}

void TShellTree::setOptions(TVisOptions value) {
    if (m_options == value) return;
    m_options = value;
    if (windowExists()) RefreshAll();
}

void TShellTree::setShowIcons(bool value) {
    if (m_showIcons == value) return;
    m_showIcons = value;
    if (!loading()) setImages(value ? m_systemImages : nullptr);
}

void TShellTree::setFileMask(const std::string& value) {
    m_maskList = parseFileMask(value);
    if ((m_options & TF_NONFOLDERS) != 0) RefreshAll();
}

void TShellTree::setFileMaskUse(bool value) {
    if (m_fileMaskUse == value) return;
    m_fileMaskUse = value;
    if ((m_options & TF_NONFOLDERS) != 0) RefreshAll();
}

void TShellTree::setFileSortType(TFileSortType value) {
    if (m_fileSortType == value) return;
    m_fileSortType = value;
    SortChildren(m_rootNode, true);
}

void TShellTree::setFileSortOrder(TFileSortOrder value) {
    if (m_fileSortOrder == value) return;
    m_fileSortOrder = value;
    SortChildren(m_rootNode, true);
}

void TShellTree::InitImageList() {
    if (m_systemImages != nullptr) fillShellImages(*m_systemImages);
    if (m_showIcons) setImages(m_systemImages);
}

namespace {

// Runs a call once, when the watched widget is first shown.
class AtFirstShow : public QObject {
public:
    AtFirstShow(QWidget* widget, std::function<void()> call)
        : QObject(widget), m_call(std::move(call)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            m_call();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_call;
};

}  // namespace

// Reading the theme's icons is the largest part of a page's creation, and the chooser is
// not shown at start: its images are read when the tree is first shown, before it paints.
void TShellTree::initImagesWhenShown() {
    if (widget()->isVisible()) {
        InitImageList();
    } else {
        new AtFirstShow(widget(), [this] { InitImageList(); });
    }
}

void TShellTree::Rebuild(bool keepSelection) {
    const Operation operation(*this, true);
    const framework::TreeUpdateScope update(items());
    if (!m_imageListReady) {
        initImagesWhenShown();
        m_imageListReady = true;
    }
    if (loading()) return;
    const std::string savedPath = GetPath();
    const std::string savedRoot = m_rootDir;
    m_rootNode = nullptr;
    items().clear();
    CreateRoot();
    if (keepSelection) {
        SetPath(savedPath);
    } else if (savedRoot.size() > 1) {
        m_rootDir.clear();
        SetRootDir(savedRoot);
    }
}

void TShellTree::CreateRoot() {
    IDList list;
    if (m_rootUsePIDL) {
        if (m_rootPIDL == PIDL_USERDEFINED) {
            CopyIDList(list, m_userRootIDList.get());
        } else {
            list = specialFolderLocation(csidlOf(m_rootPIDL));
            if (!list) list = specialFolderLocation(kDesktopCsidl);
        }
    } else {
        list = ParsePath(*m_desktopFolder, m_rootDir, true);
        if (!list) list = ParsePath(*m_desktopFolder, "/", true);
    }
    if (!list) list = IDList::empty();
    SetRootIDList(std::move(list));
}

void TShellTree::SetRootIDList(IDList list) {
    m_rootNode = nullptr;
    auto* node = static_cast<TShellNode*>(items().add(std::string()));
    const bool pathRoot = !m_rootUsePIDL;
    const std::string rootPath = PathFromIDList(list.get());
    node->SetIdentity(m_desktopFolder, &list, false);
    node->UpdateText();
    node->setHasChildren(true);
    node->UpdateIcons();
    m_expandAllowed = true;
    node->expand(false);
    setSelected(node);
    m_rootNode = node;
    if (pathRoot) m_rootDir = rootPath;
}

void TShellTree::SetRootDir(const std::string& value) {
    const std::string normalized = NormalizePath(value);
    if (normalized.empty() || normalized == m_rootDir) return;
    m_rootDir = normalized;
    if (windowExists() && !m_rootUsePIDL) Rebuild(true);
}

IDList TShellTree::ParsePath(ShellFolder& folder, const std::string& path, bool normalise) {
    const std::string parsed = normalise ? NormalizePath(path) : path;
    if (parsed.empty() || parsed.size() > kMaxParsedPath) return {};
    std::uint32_t attributes = SFGAO_VALIDATE;
    return folder.ParseDisplayName(ShellOwner(), parsed, &attributes);
}

TShellNode* TShellTree::FindNode(PItemIDList list, bool expand) {
    if (m_rootNode == nullptr || list == nullptr) return nullptr;
    const PItemIDList rootList = m_rootNode->Info.AbsoluteIDList.get();
    const int n = IDListCount(list);
    const int r = IDListCount(rootList);
    if (n == r && sameIDList(list, rootList)) return m_rootNode;
    if (n <= r) return nullptr;
    // The walk goes on to the list's end, however deep: only the count above is bounded.
    TShellNode* node = m_rootNode;
    for (PItemIDList item = itemAt(list, r); itemCount(item) != 0; item = nextItem(item)) {
        TShellNode* match = matchingChild(node, item);
        if (match == nullptr) return node;
        node = match;
        if (itemCount(nextItem(item)) == 0) break;
        if (expand && !node->expanded()) node->expand(false);
        if (!node->expanded()) return nullptr;
    }
    return node;
}

// The child of node that stands for the list's first item; none when the node's folder
// cannot be bound.
TShellNode* TShellTree::matchingChild(TShellNode* node, PItemIDList item) {
    const IDList wanted = firstItemList(item);
    const auto folder = node->GetFolder();
    for (int i = 0; folder && i < node->count(); ++i) {
        if (folder->CompareIDs(0, wanted.get(), node->child(i)->Info.RelativeIDList.get()) == 0) {
            return node->child(i);
        }
    }
    return nullptr;
}

void TShellTree::SelectPath(const std::string& path) {
    IDList list = ParsePath(*m_desktopFolder, path, true);
    if (!list) return;
    const Operation operation(*this, true);
    TShellNode* node = nullptr;
    {
        const framework::TreeUpdateScope update(items());
        node = FindNode(list.get(), true);
        if (node != nullptr) node->expand(false);
    }
    if (node != nullptr) setSelected(node);
}

void TShellTree::SetPath(const std::string& value) {
    const std::string path = NormalizePath(value);
    if (path.empty()) {
        if (items().count() == 0) return;
        setSelected(m_rootNode);
    }
    if (path == GetPath()) return;
    if (windowExists()) {
        SelectPath(path);
    } else {
        m_pendingPath = path;
    }
}

std::string TShellTree::GetPath() const {
    const TShellNode* node = Selected();
    return node != nullptr ? node->NodePath() : std::string();
}

bool TShellTree::CanExpand(framework::TTreeNode* base) {
    auto* node = static_cast<TShellNode*>(base);
    const Operation operation(*this, false);
    bool allow = m_expandAllowed;
    if (!framework::raiseEvent(OnExpanding, this, node, allow)) allow = false;
    if (allow && (UpdAuto || !node->Info.Populated)) {
        RefreshNode(node, UpdAutoRec);
        node->Info.Populated = true;
    }
    return allow;
}

void TShellTree::RefreshNode(TShellNode* node, bool recursive) {
    if (node == nullptr) return;
    const Operation operation(*this, true);
    PopulateNode(node);
    if (!recursive) return;
    for (int i = 0; i < node->count(); ++i) {
        TShellNode* child = node->child(i);
        if (child->count() > 0 && child->expanded()) {
            RefreshNode(child, true);
        } else {
            child->Info.Populated = false;
        }
    }
}

void TShellTree::RefreshAll() {
    const Operation operation(*this, true);
    const framework::TreeUpdateScope update(items());
    RefreshNode(m_rootNode, true);
}

}  // namespace shelltree
