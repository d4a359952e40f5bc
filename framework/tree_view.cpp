#include "tree_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeView>

#include "popup_menu.h"
#include "tree_model.h"

namespace framework {

// The Qt view: routes expansion, editing, the context menu and right clicks to the control.
class TreeViewWidget : public QTreeView {
public:
    explicit TreeViewWidget(TTreeView* tree);

    TreeModel* treeModel() const { return static_cast<TreeModel*>(model()); }
    void relayoutLater() { scheduleDelayedItemsLayout(); }
    // Ends the open editor, taking its text unless cancelled.
    void finishEditing(bool cancel);
    bool editing() const { return state() == EditingState; }
    bool startEdit(const QModelIndex& index) { return edit(index, AllEditTriggers, nullptr); }
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void fitColumn();
    void showHorizontally(const QModelIndex& index);

    TTreeView* m_tree;
    bool m_fitting = false;
    // The row to bring into view once the hidden tree shows.
    QPersistentModelIndex m_pendingScroll;
    ScrollHint m_pendingHint = EnsureVisible;
};

namespace {

// Draws the selected image of the selected node and hides the selection without focus
// when the control asks for it.
class TreeItemDelegate : public QStyledItemDelegate {
public:
    TreeItemDelegate(TTreeView* tree, QTreeView* view)
        : QStyledItemDelegate(view), m_tree(tree), m_view(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_tree->hideSelection() && !m_view->hasFocus())
            option->state &= ~QStyle::State_Selected;
        const TTreeNode* node = TreeModel::nodeOf(index);
        if (node == nullptr || m_tree->images() == nullptr || index != m_view->currentIndex())
            return;
        const QIcon selected = m_tree->images()->icon(node->selectedIndex(), node->overlayIndex());
        if (!selected.isNull()) option->icon = selected;
    }

private:
    TTreeView* m_tree;
    QTreeView* m_view;
};

}  // namespace

// The one column is as wide as the widest row shown (with its indentation), and at least as
// wide as the view: the view scrolls sideways to deep rows, and every shown row lies within
// the column, so a click anywhere on it (its left edge and expand sign too) reaches it.
TreeViewWidget::TreeViewWidget(TTreeView* tree) : m_tree(tree) {
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setResizeContentsPrecision(0);  // the rows in view only
    // The column is never narrower than the view; left unset, the least width is worked out
    // from the font's widest glyph at the first fit, which loads every glyph's metrics.
    header()->setMinimumSectionSize(1);
}

void TreeViewWidget::fitColumn() {
    if (m_fitting || model() == nullptr) return;
    // A hidden tree fits when it shows and lays out its rows again: measuring every row
    // lays out its label in the tree's font, and would load that font at the start of the
    // program for nothing.
    if (!isVisible()) return;
    m_fitting = true;
    const int wanted = std::max(viewport()->width(), sizeHintForColumn(0));
    if (header()->sectionSize(0) != wanted) header()->resizeSection(0, wanted);
    m_fitting = false;
}

void TreeViewWidget::updateGeometries() {
    fitColumn();
    QTreeView::updateGeometries();
}

void TreeViewWidget::scrollContentsBy(int dx, int dy) {
    QTreeView::scrollContentsBy(dx, dy);
    if (dy != 0) fitColumn();
}

// The row is brought into view vertically as the view does it; sideways only as far as it
// takes to show the row's expand sign and label, keeping the place the user scrolled to
// when the row is already in view.
void TreeViewWidget::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // A hidden tree scrolls when it shows, at its shown size: scrolling now would lay out
    // every row, and load the font of its labels, at the start of the program for nothing.
    if (!isVisible()) {
        m_pendingScroll = index;
        m_pendingHint = hint;
        return;
    }
    const int sideways = horizontalScrollBar()->value();
    QTreeView::scrollTo(index, hint);
    fitColumn();
    horizontalScrollBar()->setValue(sideways);
    showHorizontally(index);
}

void TreeViewWidget::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    const QModelIndex pending = m_pendingScroll;
    m_pendingScroll = QPersistentModelIndex();
    if (pending.isValid()) scrollTo(pending, m_pendingHint);
}

void TreeViewWidget::showHorizontally(const QModelIndex& index) {
    const QRect row = visualRect(index);
    if (!index.isValid() || row.isEmpty()) return;
    const int left = row.left() - indentation();
    const int right = row.left() + sizeHintForIndex(index).width();
    const int width = viewport()->width();
    QScrollBar* bar = horizontalScrollBar();
    if (left >= 0 && right <= width) return;
    if (left < 0 || right - left > width) {
        bar->setValue(bar->value() + left);
    } else {
        bar->setValue(bar->value() + right - width);
    }
}

bool TreeViewWidget::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool starts = trigger == AllEditTriggers ||
                        (trigger != SelectedClicked && (editTriggers() & trigger) != 0);
    if (!starts || state() == EditingState || !index.isValid())
        return QTreeView::edit(index, trigger, event);
    TTreeNode* node = TreeModel::nodeOf(index);
    if (!m_tree->CanEdit(node)) return false;
    if (!QTreeView::edit(index, trigger, event)) return false;
    m_tree->m_editing = node;
    return true;
}

void TreeViewWidget::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool cancelled = hint == QAbstractItemDelegate::RevertModelCache;
    QTreeView::closeEditor(editor, hint);
    if (cancelled) m_tree->editCancelled();
    m_tree->m_editing = nullptr;
}

void TreeViewWidget::finishEditing(bool cancel) {
    QWidget* editor = indexWidget(currentIndex());
    if (state() != EditingState || editor == nullptr) return;
    if (!cancel) commitData(editor);
    closeEditor(editor,
                cancel ? QAbstractItemDelegate::RevertModelCache : QAbstractItemDelegate::NoHint);
}

void TreeViewWidget::contextMenuEvent(QContextMenuEvent* event) {
    TreeContextRequest request;
    request.fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    if (request.fromKeyboard) {
        request.node = m_tree->selected();
        if (request.node == nullptr) return;
        const TTreeView::Rect r = m_tree->displayRect(request.node, true);
        request.x = r.left + (r.right - r.left) / 2;
        request.y = r.top + (r.bottom - r.top) / 2;
    } else {
        // Mouse context-menu events reach the view with viewport coordinates.
        request.x = event->pos().x();
        request.y = event->pos().y();
        request.node = m_tree->getNodeAt(request.x, request.y);
    }
    event->accept();
    m_tree->contextRequested(request);
}

void TreeViewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && !m_tree->rightClickSelect()) {
        event->accept();
        return;
    }
    // A press makes the row current before it selects it: the change is told once the
    // row is both.
    m_tree->m_pressing = true;
    QTreeView::mousePressEvent(event);
    m_tree->m_pressing = false;
    m_tree->selectionMoved();
}

// Like the platform's tree controls, a tree keeps its one selected row: Ctrl with a click
// or the space bar does not empty the selection.
QItemSelectionModel::SelectionFlags TreeViewWidget::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QTreeView::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate
                                                           : command;
}

TTreeView::TTreeView(Component* owner) : TControl(owner) {
    auto* view = new TreeViewWidget(this);
    m_model = new TreeModel(m_nodes, view);
    m_nodes.setNodeFactory([this](TTreeNodes*) { return CreateNode(); });
    m_nodes.setExpansionHandler(
        [this](TTreeNode* node, bool expand) { nodeExpansion(node, expand); });
    m_model->setEditCommit(
        [this](TTreeNode* node, const std::string& text) { editCommitted(node, text); });
    m_model->setRelayout([view] {
        view->relayoutLater();
        view->viewport()->update();
    });
    m_model->setNodeDeleting([this](TTreeNode* node) { nodeDeleting(node); });
    view->setModel(m_model);
    view->setItemDelegate(new TreeItemDelegate(this, view));
    view->setHeaderHidden(true);
    view->setUniformRowHeights(true);
    view->setIndentation(19);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->setContextMenuPolicy(Qt::DefaultContextMenu);
    QObject::connect(view, &QTreeView::expanded, view, [this](const QModelIndex& index) {
        viewExpansion(TreeModel::nodeOf(index), true);
    });
    QObject::connect(view, &QTreeView::collapsed, view, [this](const QModelIndex& index) {
        viewExpansion(TreeModel::nodeOf(index), false);
    });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
                     [this] { selectionMoved(); });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
                     [this] { selectionMoved(); });
    setWidget(view);
}

TTreeView::~TTreeView() {
    setState(csDestroying, true);
    if (m_images != nullptr) m_images->removeObserver(this);
    // The widget (and with it the model) goes first, so that no view signal reaches
    // nodes that are being destroyed.
    QObject::disconnect(view()->selectionModel(), nullptr, view(), nullptr);
    view()->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
    m_nodes.setExpansionHandler({});
}

const ClassInfo& TTreeView::staticClassInfo() {
    using C = TTreeView;
    return declareClass<C>("TTreeView", [] {
        return std::vector<PropertyInfo>{
            valueProperty("ReadOnly", &C::readOnly, &C::setReadOnly),
            valueProperty("HideSelection", &C::hideSelection, &C::setHideSelection),
            valueProperty("RightClickSelect", &C::rightClickSelect, &C::setRightClickSelect),
            valueProperty("ShowRoot", &C::showRoot, &C::setShowRoot),
            valueProperty("Indent", &C::indent, &C::setIndent),
            valueProperty("BorderStyle", &C::borderStyle, &C::setBorderStyle),
            valueProperty("Images", &C::images, &C::setImages),
            valueProperty("PopupMenu", &C::popupMenu, &C::setPopupMenu),
            eventProperty("OnChange", &C::OnChange),
            eventProperty("OnExpanding", &C::OnExpanding),
            eventProperty("OnExpanded", &C::OnExpanded),
            eventProperty("OnCollapsing", &C::OnCollapsing),
            eventProperty("OnCollapsed", &C::OnCollapsed),
            eventProperty("OnEditing", &C::OnEditing),
            eventProperty("OnEdited", &C::OnEdited),
        };
    });
}

TreeViewWidget* TTreeView::view() const { return static_cast<TreeViewWidget*>(widget()); }

std::unique_ptr<TTreeNode> TTreeView::CreateNode() { return std::make_unique<TTreeNode>(&m_nodes); }

TTreeNode* TTreeView::selected() const {
    const QModelIndex current = view()->currentIndex();
    if (!view()->selectionModel()->isSelected(current)) return nullptr;
    return TreeModel::nodeOf(current);
}

void TTreeView::setSelected(TTreeNode* node) {
    const QModelIndex index = m_model->indexOf(node);
    view()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid()) view()->scrollTo(index);
}

TTreeNode* TTreeView::getNodeAt(int x, int y) const {
    return TreeModel::nodeOf(view()->indexAt(QPoint(x, y)));
}

TTreeView::Rect TTreeView::displayRect(TTreeNode* node, bool textOnly) const {
    const QModelIndex index = m_model->indexOf(node);
    QRect r = view()->visualRect(index);
    if (r.isEmpty()) return {};
    if (!textOnly)
        r = QRect(0, r.top(), view()->viewport()->width(), r.height());
    else if (!view()->iconSize().isEmpty() && m_images != nullptr)
        r.setLeft(r.left() + view()->iconSize().width() + 4);
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void TTreeView::clientToScreen(int& x, int& y) const {
    const QPoint global = view()->viewport()->mapToGlobal(QPoint(x, y));
    x = global.x();
    y = global.y();
}

void TTreeView::customSort(TTreeNode* parent, const TreeNodeCompare& compare, bool recursive) {
    const TreeNodeCompare& used = compare ? compare : m_sortCallback;
    if (!used) return;
    m_nodes.customSort(parent, used, recursive);
}

bool TTreeView::startEditing(TTreeNode* node) {
    const QModelIndex index = m_model->indexOf(node);
    if (!index.isValid()) return false;
    view()->setCurrentIndex(index);
    return view()->startEdit(index) && isEditing();
}

bool TTreeView::isEditing() const { return view()->editing(); }

void TTreeView::endEditing(bool cancel) { view()->finishEditing(cancel); }

void TTreeView::setImages(TImageList* images) {
    if (m_images == images) return;
    if (m_images != nullptr) m_images->removeObserver(this);
    m_images = images;
    if (m_images != nullptr) {
        m_images->addObserver(this);
        view()->setIconSize(QSize(m_images->width(), m_images->height()));
    } else {
        view()->setIconSize(QSize());
    }
    m_model->setImages(m_images);
    imagesChanged();
}

void TTreeView::imagesChanged() {
    if (m_images != nullptr) view()->setIconSize(QSize(m_images->width(), m_images->height()));
    view()->viewport()->update();
}

void TTreeView::imagesDestroyed() {
    m_images = nullptr;
    m_model->setImages(nullptr);
    view()->viewport()->update();
}

void TTreeView::setReadOnly(bool value) {
    m_readOnly = value;
    m_model->setEditable(!value);
}

void TTreeView::setHideSelection(bool value) {
    m_hideSelection = value;
    view()->viewport()->update();
}

bool TTreeView::showRoot() const { return view()->rootIsDecorated(); }
void TTreeView::setShowRoot(bool value) { view()->setRootIsDecorated(value); }
int TTreeView::indent() const { return view()->indentation(); }
void TTreeView::setIndent(int value) { view()->setIndentation(value); }

void TTreeView::setBorderStyle(TBorderStyle value) {
    m_borderStyle = value;
    view()->setFrameShape(value == TBorderStyle::bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

TPopupMenu* TTreeView::popupMenu() const {
    return m_popupMenu == 0 ? nullptr
                            : dynamic_cast<TPopupMenu*>(Component::fromHandle(m_popupMenu));
}

void TTreeView::setPopupMenu(TPopupMenu* menu) {
    m_popupMenu = menu != nullptr ? menu->handle() : 0;
}

bool TTreeView::CanExpand(TTreeNode* node) {
    bool allow = true;
    return raiseEvent(OnExpanding, this, node, allow) && allow;
}

bool TTreeView::CanCollapse(TTreeNode* node) {
    bool allow = true;
    return raiseEvent(OnCollapsing, this, node, allow) && allow;
}

void TTreeView::Expand(TTreeNode* node) { raiseEvent(OnExpanded, this, node); }

void TTreeView::Collapse(TTreeNode* node) { raiseEvent(OnCollapsed, this, node); }

void TTreeView::Change(TTreeNode* node) { raiseEvent(OnChange, this, node); }

bool TTreeView::CanEdit(TTreeNode* node) {
    if (m_readOnly) return false;
    bool allow = true;
    return raiseEvent(OnEditing, this, node, allow) && allow;
}

void TTreeView::Edit(TTreeNode* node, const std::optional<std::string>& text) {
    if (!text) return;
    std::string edited = *text;
    if (!raiseEvent(OnEdited, this, node, edited)) return;
    node->setText(edited);
}

void TTreeView::ContextPopup(const TreeContextRequest& request) {
    bool handled = false;
    if (!raiseEvent(OnContextPopup, this, request, handled)) return;
    TPopupMenu* menu = popupMenu();
    if (handled || request.node == nullptr || menu == nullptr) return;
    int x = request.x;
    int y = request.y;
    clientToScreen(x, y);
    menu->setPopupComponent(this);
    menu->popup(x, y);
}

// A node asks to expand or collapse (by code).
void TTreeView::nodeExpansion(TTreeNode* node, bool expand) {
    if (expand ? !CanExpand(node) : !CanCollapse(node)) return;
    // A node that has no children once asked stays collapsed.
    node->m_expanded = expand && node->count() > 0;
    if (node->m_expanded != expand) return;
    applyExpansion(node);
    if (expand) {
        Expand(node);
    } else {
        selectCollapsed(node);
        Collapse(node);
    }
}

// The view expanded or collapsed a row (by the user, or while showing a selected node).
void TTreeView::viewExpansion(TTreeNode* node, bool expanded) {
    if (node == nullptr || m_syncing || node->m_expanded == expanded) return;
    nodeExpansion(node, expanded);
    // Refused (or left without children): the row goes back to the node's state.
    if (node->m_expanded != expanded) applyExpansion(node);
}

void TTreeView::applyExpansion(TTreeNode* node) {
    if (csDestroying & state()) return;
    const QModelIndex index = m_model->indexOf(node);
    if (node->m_expanded) m_nodes.announceChildren(node);
    m_syncing = true;
    view()->setExpanded(index, node->m_expanded);
    m_syncing = false;
}

void TTreeView::editCommitted(TTreeNode* node, const std::string& text) {
    m_editing = nullptr;
    Edit(node, text);
}

void TTreeView::editCancelled() {
    if (m_editing != nullptr) Edit(m_editing, std::nullopt);
}

void TTreeView::nodeDeleting(TTreeNode* node) {
    if (m_editing != nullptr && m_editing->hasAsAncestor(node)) m_editing = nullptr;
    // The told node goes: whatever is selected next (or nothing) is a change.
    if (m_told != nullptr && m_told->hasAsAncestor(node)) {
        m_told = nullptr;
        m_toldGone = true;
    }
}

// Raises OnChange when the selected node is another than the one last told of, so that a
// handler reading the selection finds it (the view moves its current row and its
// selection in either order).
void TTreeView::selectionMoved() {
    if (m_pressing || hasState(csDestroying)) return;
    TTreeNode* now = selected();
    if (now == m_told && !m_toldGone) return;
    m_told = now;
    m_toldGone = false;
    Change(now);
}

// The row of a node hidden by the collapse can be selected no longer: its collapsed
// ancestor is.
void TTreeView::selectCollapsed(TTreeNode* node) {
    const TTreeNode* chosen = selected();
    if (chosen != nullptr && chosen != node && chosen->hasAsAncestor(node)) setSelected(node);
}

void TTreeView::contextRequested(const TreeContextRequest& request) { ContextPopup(request); }

}  // namespace framework
