#pragma once
// The tree view control: plain TTreeNode objects shown through an item model, with bulk
// update, sorting by a comparison callback, lazy expansion (OnExpanding may refuse),
// selection changes (OnChange), label editing (OnEditing may refuse, OnEdited may change
// the text), an image list with overlays and a context-menu request (right click or the
// menu key). Derived controls refine the virtual steps (CreateNode, CanExpand, CanEdit,
// Edit, ContextPopup).

#include <functional>
#include <optional>

#include "control.h"
#include "image_list.h"
#include "tree_nodes.h"

namespace framework {

class TPopupMenu;
class TreeModel;
class TreeViewWidget;

using TVChangedEvent = Event<TTreeNode*>;           // (Sender, node)
using TVExpandingEvent = Event<TTreeNode*, bool&>;  // (Sender, node, allow)
using TVEditingEvent = TVExpandingEvent;
using TVEditedEvent = Event<TTreeNode*, std::string&>;  // (Sender, node, text)

// Where and why a context menu is asked for. The point is in the control's client
// coordinates: the mouse position, or for the menu key the centre of the selected node's
// label. node is the node under the mouse (nullptr over empty space) or the selected one.
struct TreeContextRequest {
    TTreeNode* node = nullptr;
    int x = 0;
    int y = 0;
    bool fromKeyboard = false;
};
// (Sender, request, handled)
using TVContextPopupEvent = Event<const TreeContextRequest&, bool&>;

class TTreeView : public TControl, private ImageListObserver {
    FRAMEWORK_CLASS(TControl)

    explicit TTreeView(Component* owner);
    ~TTreeView() override;

    TTreeNodes& items() { return m_nodes; }
    const TTreeNodes& items() const { return m_nodes; }

    // The selected node or nullptr; selecting makes the node visible (expanding its
    // ancestors, which asks CanExpand of each) and raises OnChange.
    TTreeNode* selected() const;
    void setSelected(TTreeNode* node);
    // The node whose row lies at a client point, or nullptr.
    TTreeNode* getNodeAt(int x, int y) const;
    // The node's row (textOnly: its label) in client coordinates; empty when not shown.
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
        bool empty() const { return right <= left || bottom <= top; }
    };
    Rect displayRect(TTreeNode* node, bool textOnly) const;
    void clientToScreen(int& x, int& y) const;

    // Bulk update of the nodes; the view repaints once at the end.
    void beginUpdate() { m_nodes.beginUpdate(); }
    void endUpdate() { m_nodes.endUpdate(); }
    // Sorts the children of parent (nullptr: the top level) with the callback, or with the
    // control's own sort callback when none is given.
    void customSort(TTreeNode* parent, const TreeNodeCompare& compare, bool recursive);
    void setSortCallback(TreeNodeCompare compare) { m_sortCallback = std::move(compare); }

    // Label editing; false when it cannot start (read-only, refused by CanEdit).
    bool startEditing(TTreeNode* node);
    bool isEditing() const;
    void endEditing(bool cancel);

    TImageList* images() const { return m_images; }
    void setImages(TImageList* images);
    // The menu is held by its handle: once it is destroyed, wherever it was owned, the
    // tree has no menu.
    TPopupMenu* popupMenu() const;
    void setPopupMenu(TPopupMenu* menu);

    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool value);
    bool hideSelection() const { return m_hideSelection; }
    void setHideSelection(bool value);
    bool rightClickSelect() const { return m_rightClickSelect; }
    void setRightClickSelect(bool value) { m_rightClickSelect = value; }
    bool showRoot() const;
    void setShowRoot(bool value);
    int indent() const;
    void setIndent(int value);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle value);

    TVChangedEvent OnChange;
    TVExpandingEvent OnExpanding;
    TVChangedEvent OnExpanded;
    TVExpandingEvent OnCollapsing;
    TVChangedEvent OnCollapsed;
    TVEditingEvent OnEditing;
    TVEditedEvent OnEdited;
    TVContextPopupEvent OnContextPopup;

protected:
    // Makes every node of the tree; derived trees make their own node class.
    virtual std::unique_ptr<TTreeNode> CreateNode();
    // Asked before a node expands: raises OnExpanding. A node may fill its children here;
    // one that has none afterwards stays collapsed.
    virtual bool CanExpand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    // Raises OnChange.
    virtual void Change(TTreeNode* node);
    // Asked before label editing starts: false when read-only, else raises OnEditing.
    virtual bool CanEdit(TTreeNode* node);
    // The end of label editing, with the text or without when it was cancelled: raises
    // OnEdited (which may change the text) and takes the text as the node's.
    virtual void Edit(TTreeNode* node, const std::optional<std::string>& text);
    // Raises OnContextPopup; when no handler took it and a node is given, shows the
    // popup menu at the point.
    virtual void ContextPopup(const TreeContextRequest& request);

private:
    friend class TreeViewWidget;
    TreeViewWidget* view() const;
    void nodeExpansion(TTreeNode* node, bool expand);
    void viewExpansion(TTreeNode* node, bool expanded);
    void applyExpansion(TTreeNode* node);
    void editCommitted(TTreeNode* node, const std::string& text);
    void editCancelled();
    void nodeDeleting(TTreeNode* node);
    void selectionMoved();
    void selectCollapsed(TTreeNode* node);
    void contextRequested(const TreeContextRequest& request);
    void imagesChanged() override;
    void imagesDestroyed() override;

    TTreeNodes m_nodes;
    TreeModel* m_model = nullptr;  // owned by the widget
    TImageList* m_images = nullptr;
    std::uint32_t m_popupMenu = 0;  // handle
    TreeNodeCompare m_sortCallback;
    TTreeNode* m_editing = nullptr;
    // The node OnChange last told of, and whether it was deleted since.
    TTreeNode* m_told = nullptr;
    bool m_toldGone = false;
    bool m_pressing = false;  // a mouse press is making a row current and selecting it
    bool m_syncing = false;   // the view is being brought in line with a node
    bool m_readOnly = false;
    bool m_hideSelection = true;
    bool m_rightClickSelect = true;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
};

}  // namespace framework
