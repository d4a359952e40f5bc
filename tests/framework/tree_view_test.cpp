// The tree view offscreen: lazy expansion and its refusal, sorting that keeps expansion
// and selection, label editing, selection changes, the context-menu request and images.

#include "framework/tree_view.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include "framework/application.h"
#include "framework/popup_menu.h"
#include "framework/standard_classes.h"
#include "gui_test_environment.h"

using namespace framework;

namespace {

class TreeViewTest : public ::testing::Test {
protected:
    TreeViewTest() {
        tree.setBounds(0, 0, 200, 300);
        tree.widget()->show();
        QApplication::setActiveWindow(tree.widget());
        tree.widget()->setFocus();
    }

    QTreeView* view() const { return static_cast<QTreeView*>(tree.widget()); }
    QModelIndex indexOf(const TTreeNode* node) const {
        if (node == nullptr) return {};
        return view()->model()->index(node->index(), 0, indexOf(node->parent()));
    }
    std::vector<std::string> shownChildren(const TTreeNode* parent) const {
        std::vector<std::string> out;
        const QModelIndex p = indexOf(parent);
        out.reserve(view()->model()->rowCount(p));
        for (int i = 0; i < view()->model()->rowCount(p); ++i) {
            out.push_back(view()->model()->index(i, 0, p).data().toString().toStdString());
        }
        return out;
    }
    // A node that fills its children on its first expansion.
    TTreeNode* lazyNode(const std::string& text) {
        TTreeNode* node = tree.items().add(text);
        node->setHasChildren(true);
        return node;
    }
    void clickBranch(const TTreeNode* node) {
        const QRect r = view()->visualRect(indexOf(node));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                          QPoint(r.left() - view()->indentation() / 2, r.center().y()));
        testing_support::settle();
    }

    TTreeView tree{nullptr};
};

int byText(const TTreeNode* a, const TTreeNode* b) { return a->text().compare(b->text()); }

}  // namespace

TEST_F(TreeViewTest, ExpandingFillsChildrenOnDemandByCodeByClickAndByKey) {
    int asked = 0;
    tree.OnExpanding = [&](Component* sender, TTreeNode* node, bool& allow) {
        EXPECT_EQ(sender, &tree);
        EXPECT_TRUE(allow);
        ++asked;
        if (node->count() == 0) {
            tree.beginUpdate();
            for (const char* t : {"c", "a", "b"})
                tree.items().addChild(node, std::string(node->text()) + t);
            tree.customSort(node, byText, false);
            tree.endUpdate();
        }
    };
    TTreeNode* byCode = lazyNode("x");
    TTreeNode* byClick = lazyNode("y");
    TTreeNode* byKey = lazyNode("z");
    testing_support::settle();
    EXPECT_TRUE(shownChildren(byCode).empty());

    byCode->expand(false);
    clickBranch(byClick);
    tree.setSelected(byKey);
    QTest::keyClick(view(), Qt::Key_Right);
    testing_support::settle();

    EXPECT_EQ(asked, 3);
    for (TTreeNode* node : {byCode, byClick, byKey}) {
        EXPECT_TRUE(node->expanded()) << node->text();
        EXPECT_TRUE(view()->isExpanded(indexOf(node))) << node->text();
    }
    EXPECT_EQ(shownChildren(byClick), (std::vector<std::string>{"ya", "yb", "yc"}));
}

TEST_F(TreeViewTest, ARefusedExpansionLeavesNodeAndRowCollapsed) {
    TTreeNode* node = lazyNode("locked");
    tree.items().addChild(node, "inside");
    std::vector<std::string> events;
    tree.OnExpanding = [&](Component*, TTreeNode*, bool& allow) {
        events.push_back("expanding");
        allow = false;
    };
    tree.OnExpanded = [&](Component*, TTreeNode*) { events.push_back("expanded"); };
    testing_support::settle();
    node->expand(false);
    clickBranch(node);
    view()->expand(indexOf(node));  // as the view itself does when it shows a row below
    testing_support::settle();
    EXPECT_EQ(events, (std::vector<std::string>{"expanding", "expanding", "expanding"}));
    EXPECT_FALSE(node->expanded());
    EXPECT_FALSE(view()->isExpanded(indexOf(node)));
}

// A handler's exception never leaves the event loop: it is shown in the error box, what it
// was to allow is refused, and the tree goes on answering the user.
TEST_F(TreeViewTest, AFailingHandlerIsShownAndTheTreeGoesOn) {
    testing_support::ScriptedMessageBoxes boxes;
    Application::instance().setMessages(&boxes);
    TTreeNode* locked = lazyNode("locked");
    tree.items().addChild(locked, "inside");
    TTreeNode* other = tree.items().add("other");
    tree.OnChange = [](Component*, TTreeNode* node) {
        if (node->text() == "locked") throw std::runtime_error("change failed");
    };
    tree.OnExpanding = [](Component*, TTreeNode*, bool&) {
        throw std::runtime_error("expanding failed");
    };
    testing_support::settle();
    const auto click = [&](const TTreeNode* node) {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                          view()->visualRect(indexOf(node)).center());
        testing_support::settle();
    };
    click(locked);
    clickBranch(locked);
    click(other);
    Application::instance().setMessages(nullptr);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].kind, "error");
    EXPECT_EQ(boxes.shown[0].text, "change failed");
    EXPECT_EQ(boxes.shown[1].text, "expanding failed");
    EXPECT_FALSE(locked->expanded());
    EXPECT_FALSE(view()->isExpanded(indexOf(locked)));
    EXPECT_EQ(tree.selected(), other);
}

// A thrown value of no exception class is no fault of the user either: the same error box
// with a plain message, and the tree goes on.
TEST_F(TreeViewTest, AHandlerThrowingANonStandardValueIsShownAndTheTreeGoesOn) {
    testing_support::ScriptedMessageBoxes boxes;
    Application::instance().setMessages(&boxes);
    TTreeNode* first = tree.items().add("first");
    TTreeNode* second = tree.items().add("second");
    int changes = 0;
    tree.OnChange = [&](Component*, TTreeNode*) {
        if (++changes == 1) throw 42;
    };
    testing_support::settle();
    for (const TTreeNode* node : {first, second}) {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                          view()->visualRect(indexOf(node)).center());
        testing_support::settle();
    }
    Application::instance().setMessages(nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, "error");
    EXPECT_EQ(boxes.shown[0].text, "An unknown error occurred.");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(tree.selected(), second);
}

TEST_F(TreeViewTest, ANodeLeftWithoutChildrenStaysCollapsedAndCollapseCanBeRefused) {
    TTreeNode* empty = lazyNode("empty");
    TTreeNode* full = tree.items().add("full");
    tree.items().addChild(full, "child");
    empty->expand(false);
    EXPECT_FALSE(empty->expanded());
    full->expand(false);
    bool allowCollapse = false;
    tree.OnCollapsing = [&](Component*, TTreeNode*, bool& allow) { allow = allowCollapse; };
    clickBranch(full);
    EXPECT_TRUE(full->expanded());
    EXPECT_TRUE(view()->isExpanded(indexOf(full)));
    allowCollapse = true;
    full->collapse(false);
    EXPECT_FALSE(view()->isExpanded(indexOf(full)));
}

TEST_F(TreeViewTest, SortingReordersRowsAndKeepsExpansionAndSelection) {
    TTreeNode* top = tree.items().add("top");
    std::vector<TTreeNode*> children;
    {
        TreeUpdateScope update(tree.items());
        for (const char* t : {"d", "b", "e", "a", "c"})
            children.push_back(tree.items().addChild(top, t));
        tree.items().addChild(children[1], "b-child");
    }
    top->expand(false);
    children[1]->expand(false);     // "b"
    tree.setSelected(children[2]);  // "e"
    tree.setSortCallback(byText);
    tree.customSort(top, nullptr, false);
    EXPECT_EQ(shownChildren(top), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_TRUE(view()->isExpanded(indexOf(children[1])));
    EXPECT_EQ(view()->currentIndex(), indexOf(children[2]));
    EXPECT_EQ(tree.selected(), children[2]);

    tree.customSort(
        top, [](const TTreeNode* a, const TTreeNode* b) { return -byText(a, b); }, true);
    EXPECT_EQ(shownChildren(top), (std::vector<std::string>{"e", "d", "c", "b", "a"}));
    EXPECT_EQ(tree.selected(), children[2]);
    EXPECT_TRUE(view()->isExpanded(indexOf(children[1])));
    EXPECT_EQ(shownChildren(children[1]), std::vector<std::string>{"b-child"});
}

TEST_F(TreeViewTest, SelectionChangesRaiseOnChangeWithTheNode) {
    std::vector<TTreeNode*> seen;
    tree.OnChange = [&](Component*, TTreeNode* node) { seen.push_back(node); };
    TTreeNode* a = tree.items().add("a");
    TTreeNode* b = tree.items().add("b");
    tree.setSelected(a);
    QTest::keyClick(view(), Qt::Key_Down);
    tree.items().remove(b);  // the selected node goes: the selection moves
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], a);
    EXPECT_EQ(seen[1], b);
    EXPECT_EQ(tree.selected(), a);
}

// Rows forty levels down in a narrow view: the view scrolls sideways and keeps the current
// row (its expand sign and label) in view; clicks on a row's left edge and on an expand sign
// still reach their rows.
TEST_F(TreeViewTest, DeepRowsStayInViewAndTakeClicksAtTheirLeftEdge) {
    std::vector<TTreeNode*> chain{tree.items().add("level 0")};
    for (int i = 1; i < 40; ++i)
        chain.push_back(tree.items().addChild(chain.back(), "level " + std::to_string(i)));
    tree.setSelected(chain[0]);
    testing_support::settle();
    const auto inView = [&](const TTreeNode* node) {
        const QRect r = view()->visualRect(indexOf(node));
        return r.left() - view()->indentation() >= 0 &&
               r.left() + 40 <= view()->viewport()->width();
    };
    for (int i = 1; i < 40; ++i) {
        QTest::keyClick(view(), Qt::Key_Right);  // expands
        QTest::keyClick(view(), Qt::Key_Right);  // onto the child
        ASSERT_EQ(tree.selected(), chain[i]) << i;
        EXPECT_TRUE(inView(chain[i])) << i;
    }
    QTest::keyClick(view(), Qt::Key_Up);
    EXPECT_TRUE(inView(chain[38]));
    const QRect deepest = view()->visualRect(indexOf(chain[39]));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                      QPoint(deepest.left() + 1, deepest.center().y()));
    EXPECT_EQ(tree.selected(), chain[39]) << "a click at the row's left edge selects it";
    clickBranch(chain[38]);
    EXPECT_FALSE(chain[38]->expanded()) << "a click on the expand sign collapses";
    EXPECT_EQ(tree.selected(), chain[38]);
}

// A tree filled while hidden (as the folder chooser's, made at start and filled again while
// it is closed) measures its rows when it shows: a row wider than the view is reached
// sideways and takes a click at its end.
TEST(HiddenTreeView, RowsAddedWhileHiddenAreReachedSidewaysOnceShown) {
    TTreeView tree{nullptr};
    tree.setBounds(0, 0, 120, 200);
    tree.items().add("short");
    tree.widget()->show();
    testing_support::settle();
    tree.widget()->hide();
    TTreeNode* wide = tree.items().add("a folder whose name is far wider than the tree");
    testing_support::settle();
    tree.widget()->show();
    testing_support::settle();
    auto* view = static_cast<QTreeView*>(tree.widget());
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    const QModelIndex row = view->model()->index(1, 0);
    const int end = view->visualRect(row).left() + view->sizeHintForIndex(row).width();
    ASSERT_LE(end, view->viewport()->width()) << "the row's end is in view";
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      QPoint(end - 2, view->visualRect(row).center().y()));
    EXPECT_EQ(tree.selected(), wide);
}

TEST_F(TreeViewTest, StoredOnChangeHandlerTakesTheSender) {
    registerStandardClasses();
    std::unique_ptr<Component> made(ClassRegistry::instance().create("TTreeView", nullptr));
    auto* stored = dynamic_cast<TTreeView*>(made.get());
    ASSERT_NE(stored, nullptr);
    Component* sender = nullptr;
    stored->setProperty(
        "OnChange", makeMethodReference<TTreeNode*>("TreeChange",
                                                    [&](Component* s, TTreeNode*) { sender = s; }));
    EXPECT_THROW(stored->setProperty("OnChange", makeMethodReference<>("Plain", [](Component*) {})),
                 EPropertyError);
    stored->setProperty("Indent", std::int64_t{19});
    stored->setProperty("RightClickSelect", Identifier{"False"});
    stored->setSelected(stored->items().add("only"));
    EXPECT_EQ(sender, stored);
    EXPECT_FALSE(stored->rightClickSelect());
    EXPECT_THROW(stored->setProperty("BorderStyle", Identifier{"bsDouble"}), EPropertyError);
}

// Edits a label through the real editor: types the text, then Return or Escape.
class LabelEditing : public TreeViewTest {
protected:
    bool typeLabel(TTreeNode* node, const QString& text, Qt::Key end) {
        if (!tree.startEditing(node)) return false;
        auto* editor = view()->findChild<QLineEdit*>();
        if (editor == nullptr) return false;
        editor->setText(text);
        QTest::keyClick(editor, end);
        testing_support::settle();
        return true;
    }
};

TEST_F(LabelEditing, OnEditedMayChangeTheTextTheNodeTakes) {
    TTreeNode* node = tree.items().add("old");
    tree.OnEdited = [](Component*, TTreeNode* n, std::string& text) {
        EXPECT_EQ(n->text(), "old");
        text += "!";
    };
    ASSERT_TRUE(typeLabel(node, "new", Qt::Key_Return));
    EXPECT_EQ(node->text(), "new!");
    EXPECT_FALSE(tree.isEditing());
    EXPECT_EQ(shownChildren(nullptr), std::vector<std::string>{"new!"});
}

TEST_F(LabelEditing, CancellingKeepsTheTextAndRaisesNoOnEdited) {
    TTreeNode* node = tree.items().add("old");
    bool edited = false;
    tree.OnEdited = [&](Component*, TTreeNode*, std::string&) { edited = true; };
    ASSERT_TRUE(typeLabel(node, "new", Qt::Key_Escape));
    EXPECT_FALSE(edited);
    EXPECT_EQ(node->text(), "old");
}

TEST_F(LabelEditing, OnEditingMayRefuseAndReadOnlyAsksNobody) {
    TTreeNode* node = tree.items().add("old");
    int asked = 0;
    tree.OnEditing = [&](Component*, TTreeNode* n, bool& allow) {
        ++asked;
        allow = n->text() != "old";
    };
    EXPECT_FALSE(typeLabel(node, "new", Qt::Key_Return));
    EXPECT_EQ(asked, 1);
    tree.setReadOnly(true);
    node->setText("other");
    EXPECT_FALSE(typeLabel(node, "new", Qt::Key_Return));
    EXPECT_EQ(asked, 1);
    tree.setReadOnly(false);
    EXPECT_TRUE(typeLabel(node, "new", Qt::Key_Return));
    EXPECT_EQ(node->text(), "new");
}

TEST_F(LabelEditing, DeletingTheEditedNodeEndsEditingQuietly) {
    TTreeNode* parent = tree.items().add("parent");
    TTreeNode* node = tree.items().addChild(parent, "child");
    bool edited = false;
    tree.OnEdited = [&](Component*, TTreeNode*, std::string&) { edited = true; };
    ASSERT_TRUE(tree.startEditing(node));
    tree.items().remove(parent);
    testing_support::settle();
    tree.endEditing(false);
    EXPECT_FALSE(edited);
    EXPECT_EQ(tree.items().count(), 0);
}

TEST_F(TreeViewTest, ContextRequestsFromMouseAndMenuKey) {
    TTreeNode* a = tree.items().add("a");
    TTreeNode* b = tree.items().add("b");
    std::vector<TreeContextRequest> requests;
    tree.OnContextPopup = [&](Component*, const TreeContextRequest& r, bool& handled) {
        requests.push_back(r);
        handled = true;
    };
    tree.setRightClickSelect(false);
    tree.setSelected(a);
    testing_support::settle();
    const QRect rowB = view()->visualRect(indexOf(b));
    QTest::mousePress(view()->viewport(), Qt::RightButton, {}, rowB.center());
    QContextMenuEvent onB(QContextMenuEvent::Mouse, rowB.center(),
                          view()->viewport()->mapToGlobal(rowB.center()));
    QApplication::sendEvent(view()->viewport(), &onB);
    QContextMenuEvent onEmpty(QContextMenuEvent::Mouse, QPoint(5, 280), QPoint(5, 280));
    QApplication::sendEvent(view()->viewport(), &onEmpty);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
    QApplication::sendEvent(view(), &key);

    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].node, b);
    EXPECT_EQ(requests[0].x, rowB.center().x());
    EXPECT_EQ(requests[1].node, nullptr);
    EXPECT_EQ(requests[2].node, a);  // right clicks did not select
    EXPECT_TRUE(requests[2].fromKeyboard);
    const TTreeView::Rect label = tree.displayRect(a, true);
    EXPECT_EQ(requests[2].x, label.left + (label.right - label.left) / 2);
    EXPECT_EQ(requests[2].y, label.top + (label.bottom - label.top) / 2);

    tree.setSelected(nullptr);
    QApplication::sendEvent(view(), &key);
    EXPECT_EQ(requests.size(), 3u);  // the menu key without a selected node asks nothing
}

TEST_F(TreeViewTest, AnUnhandledRequestPopsUpTheMenuOverANodeOnly) {
    TPopupMenu menu(nullptr);
    int popups = 0;
    menu.OnPopup = [&](Component*) { ++popups; };
    menu.add("Open");
    tree.setPopupMenu(&menu);
    TTreeNode* a = tree.items().add("a");
    testing_support::settle();
    QContextMenuEvent onEmpty(QContextMenuEvent::Mouse, QPoint(5, 280), QPoint(5, 280));
    QApplication::sendEvent(view()->viewport(), &onEmpty);
    EXPECT_EQ(popups, 0);
    testing_support::whenModal([] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    const QPoint at = view()->visualRect(indexOf(a)).center();
    QContextMenuEvent onA(QContextMenuEvent::Mouse, at, view()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view()->viewport(), &onA);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu.popupComponent(), &tree);
}

TEST_F(TreeViewTest, RowsShowTheirImageWithItsOverlay) {
    TImageList images(nullptr);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    QPixmap arrow(16, 16);
    arrow.fill(Qt::transparent);
    {
        QPainter p(&arrow);
        p.fillRect(0, 12, 4, 4, Qt::blue);
    }
    images.add(red);
    images.add(arrow);
    ASSERT_TRUE(images.setOverlay(1, 0));
    tree.setImages(&images);
    TTreeNode* link = tree.items().add("link");
    link->setImageIndex(0);
    link->setOverlayIndex(0);
    TTreeNode* plain = tree.items().add("plain");
    plain->setImageIndex(0);
    plain->setOverlayIndex(3);  // an overlay nobody registered draws nothing

    const auto pixel = [&](const TTreeNode* node, int x, int y) {
        const QIcon icon = indexOf(node).data(Qt::DecorationRole).value<QIcon>();
        return icon.pixmap(16, 16).toImage().pixelColor(x, y);
    };
    EXPECT_EQ(pixel(link, 1, 14), QColor(Qt::blue));
    EXPECT_EQ(pixel(link, 10, 5), QColor(Qt::red));
    EXPECT_EQ(pixel(plain, 1, 14), QColor(Qt::red));
    EXPECT_FALSE(images.setOverlay(2, 0));
    EXPECT_FALSE(images.setOverlay(0, TImageList::kMaxOverlays));
    EXPECT_EQ(view()->iconSize(), QSize(16, 16));
}

TEST(PopupMenu, ATreeForgetsADestroyedMenuWhereverItWasOwned) {
    Component page(nullptr);
    Component otherPage(nullptr);
    auto* tree = new TTreeView(&page);
    for (Component* owner : {&page, &otherPage, static_cast<Component*>(nullptr)}) {
        auto* menu = new TPopupMenu(owner);
        tree->setPopupMenu(menu);
        EXPECT_EQ(tree->popupMenu(), menu);
        delete menu;
        EXPECT_EQ(tree->popupMenu(), nullptr);
    }
}

TEST(ImageList, ADestroyedListLeavesTheTreeWithoutImages) {
    TTreeView tree(nullptr);
    auto images = std::make_unique<TImageList>(nullptr);
    images->add(QPixmap(16, 16));
    tree.setImages(images.get());
    TTreeNode* node = tree.items().add("a");
    node->setImageIndex(0);
    images.reset();
    EXPECT_EQ(tree.images(), nullptr);
    const QModelIndex index = static_cast<QTreeView*>(tree.widget())->model()->index(0, 0);
    EXPECT_FALSE(index.data(Qt::DecorationRole).isValid());
}

TEST(PopupMenu, TheChosenItemsOnClickRunsAfterTheMenuClosed) {
    TPopupMenu menu(nullptr);
    std::vector<std::string> log;
    menu.add("Hidden", [&](Component*) { log.push_back("hidden"); })->setVisible(false);
    menu.add("-");
    TMenuItem* rename = menu.add("Rename", [&](Component* sender) {
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        log.push_back(static_cast<TMenuItem*>(sender)->caption());
    });
    TMenuItem* more = menu.add("More");
    more->add("Deeper");
    testing_support::whenModal([&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        QStringList shown;
        for (QAction* action : popup->actions())
            shown << (action->isSeparator() ? "-" : action->text());
        log.push_back(shown.join(',').toStdString());
        popup->setActiveAction(popup->actions().at(1));
        QTest::keyClick(popup, Qt::Key_Return);
    });
    EXPECT_EQ(menu.popup(10, 10), rename);
    EXPECT_EQ(log, (std::vector<std::string>{"-,Rename,More", "Rename"}));
}

// Paints a small folder tree (saved to QUINDOR_SCREENSHOT_DIR when set): the selected
// node shows its selected image, the others their own image, a link its overlay.
TEST_F(TreeViewTest, PaintsImagesSelectedImagesAndOverlays) {
    TImageList images(nullptr);
    const auto solid = [](QColor colour) {
        QPixmap p(16, 16);
        p.fill(Qt::transparent);
        QPainter painter(&p);
        painter.fillRect(2, 3, 12, 10, colour);
        return p;
    };
    QPixmap arrow(16, 16);
    arrow.fill(Qt::transparent);
    {
        QPainter painter(&arrow);
        painter.fillRect(0, 11, 6, 5, Qt::white);
        painter.fillRect(1, 12, 4, 3, Qt::black);
    }
    const int closed = images.add(solid(QColor(220, 180, 60)));
    const int open = images.add(solid(QColor(40, 170, 40)));
    images.setOverlay(images.add(arrow), 0);
    tree.setImages(&images);
    tree.setHideSelection(false);
    TTreeNode* root = tree.items().add("Computer");
    for (const char* name : {"bin", "home", "link to home", "tmp"}) {
        TTreeNode* node = tree.items().addChild(root, name);
        node->setImageIndex(closed);
        node->setSelectedIndex(open);
        node->setHasChildren(true);
    }
    root->item(2)->setOverlayIndex(0);
    root->expand(false);
    tree.setSelected(root->item(1));
    testing_support::settle();

    const QImage shot = view()->viewport()->grab().toImage();
    const char* folder = std::getenv("QUINDOR_SCREENSHOT_DIR");
    if (folder != nullptr) shot.save(QString(folder) + "/tree_view.png", "PNG");
    const auto iconColour = [&](const TTreeNode* node, int x, int y) {
        const QRect r = view()->visualRect(indexOf(node));
        return shot.pixelColor(r.left() + 3 + x, r.top() + (r.height() - 16) / 2 + y);
    };
    // The style may tint the selected row's icon a little with the highlight colour.
    const QColor selected = iconColour(root->item(1), 8, 8);
    EXPECT_GT(selected.green(), 2 * selected.red());                   // the open image
    EXPECT_EQ(iconColour(root->item(0), 8, 8), QColor(220, 180, 60));  // its own image
    EXPECT_EQ(iconColour(root->item(2), 2, 13), QColor(Qt::black));    // the overlay
}

// Qt's own model checker watches the model through bulk updates, insertions among rows,
// removals, sorts and clearing; it reports every broken rule of the model protocol.
TEST(TreeModel, KeepsTheItemModelRules) {
    static int complaints = 0;
    complaints = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && text.contains("FAIL")) ++complaints;
        });
    TTreeView tree(nullptr);
    auto* view = static_cast<QTreeView*>(tree.widget());
    QAbstractItemModelTester tester(view->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    TTreeNodes& nodes = tree.items();
    TTreeNode* a = nodes.add("a");
    {
        TreeUpdateScope update(nodes);
        for (int i = 0; i < 20; ++i)
            nodes.addChild(nodes.addChild(a, "c" + std::to_string(19 - i)), "g");
        nodes.insertChild(a, 3, "inserted");
        a->customSort(byText, true);
        nodes.remove(a->item(5));
    }
    a->expand(false);
    tree.setSelected(a->item(2));
    a->customSort([](const TTreeNode* x, const TTreeNode* y) { return -byText(x, y); }, false);
    nodes.insertChild(nullptr, 0, "first");
    a->item(0)->deleteChildren();
    a->item(1)->setText("renamed");
    nodes.clear();
    qInstallMessageHandler(previous);
    EXPECT_EQ(complaints, 0);
}
