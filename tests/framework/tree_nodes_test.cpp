// The node collection without a view: what it announces, when, and in which order.

#include "framework/tree_nodes.h"

#include <gtest/gtest.h>

using framework::TreeNodesObserver;
using framework::TreeUpdateScope;
using framework::TTreeNode;
using framework::TTreeNodes;

namespace {

std::string label(const TTreeNode* node) { return node == nullptr ? "root" : node->text(); }

// Writes down every announcement and checks that counts read as before inside a pair.
class Recorder : public TreeNodesObserver {
public:
    explicit Recorder(TTreeNodes& nodes) : m_nodes(nodes) { nodes.setObserver(this); }
    std::vector<std::string> log;

    void beforeInsert(TTreeNode* parent, int first, int last) override {
        EXPECT_LE(first, TTreeNodes::announcedCount(parent));
        log.push_back("insert " + name(parent) + " " + std::to_string(first) + ".." +
                      std::to_string(last));
    }
    void afterInsert() override {}
    void beforeRemove(TTreeNode* parent, int first, int last) override {
        log.push_back("remove " + name(parent) + " " + std::to_string(first) + ".." +
                      std::to_string(last));
    }
    void afterRemove() override {}
    void beforeReorder(TTreeNode* parent) override { log.push_back("reorder " + name(parent)); }
    void afterReorder(TTreeNode*) override {}
    void nodeChanged(TTreeNode* node) override { log.push_back("changed " + node->text()); }
    void updateEnded() override { log.push_back("end"); }

private:
    std::string name(TTreeNode* node) const {
        return node == m_nodes.root() ? "root" : node->text();
    }
    TTreeNodes& m_nodes;
};

int byText(const TTreeNode* a, const TTreeNode* b) { return a->text().compare(b->text()); }

std::vector<std::string> texts(const TTreeNode* parent) {
    std::vector<std::string> out;
    out.reserve(parent->count());
    for (int i = 0; i < parent->count(); ++i) out.push_back(parent->item(i)->text());
    return out;
}

}  // namespace

TEST(TreeNodes, OutsideAnUpdateEveryAppendIsAnnouncedAtOnce) {
    TTreeNodes nodes;
    Recorder rec(nodes);
    TTreeNode* a = nodes.add("a");
    nodes.addChild(a, "a1");
    EXPECT_EQ(rec.log,
              (std::vector<std::string>{"insert root 0..0", "changed a", "insert a 0..0"}));
    EXPECT_TRUE(a->hasChildren());
    EXPECT_EQ(nodes.count(), 2);
    EXPECT_EQ(a->item(0)->parent(), a);
    EXPECT_EQ(a->parent(), nullptr);
}

TEST(TreeNodes, ABulkUpdateAnnouncesEachParentsAppendsOnceParentsFirst) {
    TTreeNodes nodes;
    Recorder rec(nodes);
    TTreeNode* top = nodes.add("top");
    rec.log.clear();
    {
        TreeUpdateScope update(nodes);
        for (int i = 0; i < 1000; ++i) nodes.addChild(top, "c" + std::to_string(i));
        TTreeNode* fresh = nodes.add("fresh");
        TTreeNode* deep = nodes.addChild(fresh, "deep");
        nodes.addChild(deep, "deeper");
        EXPECT_EQ(TTreeNodes::announcedCount(top), 0);
    }
    // The parent of every announced row is itself known by then.
    EXPECT_EQ(rec.log, (std::vector<std::string>{"insert top 0..999", "insert root 1..1",
                                                 "insert fresh 0..0", "insert deep 0..0", "end"}));
    EXPECT_EQ(nodes.count(), 1004);
}

TEST(TreeNodes, AnInsertionAmongKnownRowsFlushesWhatWasPendingFirst) {
    TTreeNodes nodes;
    Recorder rec(nodes);
    nodes.add("a");
    rec.log.clear();
    nodes.beginUpdate();
    nodes.add("c");
    nodes.insertChild(nullptr, 1, "b");
    EXPECT_EQ(rec.log, (std::vector<std::string>{"insert root 1..1", "insert root 1..1"}));
    nodes.endUpdate();
    EXPECT_EQ(texts(nodes.root()), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(TreeNodes, RemovingHeldBackNodesIsSilentAndKnownOnesAreAnnounced) {
    TTreeNodes nodes;
    Recorder rec(nodes);
    TTreeNode* a = nodes.add("a");
    nodes.addChild(a, "x");
    rec.log.clear();
    nodes.beginUpdate();
    TTreeNode* b = nodes.add("b");
    nodes.addChild(b, "b1");
    nodes.remove(b);
    nodes.remove(a);
    nodes.endUpdate();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"remove root 0..0", "end"}));
    EXPECT_EQ(nodes.count(), 0);
}

TEST(TreeNodes, DeleteChildrenAnnouncesOneRangeAndKeepsCounts) {
    TTreeNodes nodes;
    Recorder rec(nodes);
    TTreeNode* a = nodes.add("a");
    for (int i = 0; i < 5; ++i) nodes.addChild(nodes.addChild(a, "c" + std::to_string(i)), "g");
    rec.log.clear();
    a->deleteChildren();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"remove a 0..4"}));
    EXPECT_EQ(nodes.count(), 1);
    EXPECT_EQ(a->count(), 0);
}

TEST(TreeNodes, SortingHeldBackChildrenIsSilentAndKnownChildrenAreReordered) {
    TTreeNodes nodes;
    Recorder rec(nodes);
    TTreeNode* known = nodes.add("known");
    for (const char* t : {"b", "c", "a"}) nodes.addChild(known, t);
    rec.log.clear();
    nodes.beginUpdate();
    TTreeNode* fresh = nodes.add("fresh");
    for (const char* t : {"z", "y", "x"}) nodes.addChild(fresh, t);
    fresh->customSort(byText, false);
    known->customSort(byText, false);
    nodes.endUpdate();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"reorder known", "insert root 1..1",
                                                 "insert fresh 0..2", "end"}));
    EXPECT_EQ(texts(known), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(texts(fresh), (std::vector<std::string>{"x", "y", "z"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(fresh->item(i)->index(), i);
}

TEST(TreeNodes, SortIsStableAndRecursesOnRequest) {
    TTreeNodes nodes;
    TTreeNode* a = nodes.add("a");
    TTreeNode* first = nodes.addChild(a, "same");
    first->setData(&nodes);
    nodes.addChild(a, "same");
    nodes.addChild(a, "alpha");
    TTreeNode* deep = nodes.addChild(first, "z");
    nodes.addChild(first, "k");
    nodes.customSort(nullptr, byText, true);
    EXPECT_EQ(texts(a), (std::vector<std::string>{"alpha", "same", "same"}));
    EXPECT_EQ(a->item(1)->data(), &nodes);  // equal keys keep their order
    EXPECT_EQ(texts(first), (std::vector<std::string>{"k", "z"}));
    EXPECT_EQ(deep->getPrevSibling()->text(), "k");
}

TEST(TreeNodes, DataChangesOfKnownNodesOnlyAndNotDuringAnUpdate) {
    TTreeNodes nodes;
    Recorder rec(nodes);
    TTreeNode* a = nodes.add("a");
    rec.log.clear();
    a->setImageIndex(3);
    a->setImageIndex(3);
    a->setOverlayIndex(1);
    nodes.beginUpdate();
    a->setText("b");
    TTreeNode* held = nodes.add("held");
    held->setText("still held");
    nodes.endUpdate();
    EXPECT_EQ(rec.log,
              (std::vector<std::string>{"changed a", "changed a", "insert root 1..1", "end"}));
}

TEST(TreeNodes, WithoutAViewANodeExpandsOnlyWithChildren) {
    TTreeNodes nodes;
    TTreeNode* a = nodes.add("a");
    a->setHasChildren(true);
    a->expand(false);
    EXPECT_FALSE(a->expanded());
    TTreeNode* b = nodes.addChild(a, "b");
    nodes.addChild(b, "c");
    a->expand(true);
    EXPECT_TRUE(a->expanded());
    EXPECT_TRUE(b->expanded());
    a->collapse(true);
    EXPECT_FALSE(b->expanded());
}

TEST(TreeNodes, NavigationAndBoundsAreChecked) {
    TTreeNodes nodes;
    TTreeNode* a = nodes.add("a");
    TTreeNode* b = nodes.add("b");
    TTreeNode* c = nodes.addChild(b, "c");
    EXPECT_EQ(a->getNextSibling(), b);
    EXPECT_EQ(b->getNextSibling(), nullptr);
    EXPECT_EQ(a->getPrevSibling(), nullptr);
    EXPECT_EQ(c->level(), 1);
    EXPECT_TRUE(c->hasAsAncestor(b));
    EXPECT_FALSE(c->hasAsAncestor(a));
    EXPECT_THROW(b->item(1), std::out_of_range);
    EXPECT_THROW(nodes.remove(nodes.root()), std::invalid_argument);
    EXPECT_EQ(label(c->parent()), "b");
}
