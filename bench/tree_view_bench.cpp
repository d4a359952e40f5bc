// 10,000 nodes added to the tree view in one bulk update, sorted by a comparison callback
// and shown (the parent expanded, the view laid out and painted), against the same
// 10,000 strings sorted in a plain vector. Offscreen; prints the medians, the best
// rounds (the machine's noise aside) and the ratios.
// Usage: tree_view_bench [ROUNDS]

#include <stdlib.h>

#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "framework/tree_view.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kNodes = 10000;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<std::string> folderNames() {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::vector<std::string> names;
    for (int i = 0; i < kNodes; ++i) {
        std::string name = "folder-";
        for (int k = 0; k < 10; ++k) name += static_cast<char>(letter(random));
        names.push_back(name);
    }
    return names;
}

int byText(const framework::TTreeNode* a, const framework::TTreeNode* b) {
    return a->text().compare(b->text());
}

double treeRound(const std::vector<std::string>& names) {
    framework::TTreeView tree(nullptr);
    tree.setBounds(0, 0, 300, 600);
    tree.widget()->show();
    QApplication::processEvents();
    framework::TTreeNode* parent = tree.items().add("parent");
    const auto start = Clock::now();
    tree.beginUpdate();
    for (const std::string& name : names) tree.items().addChild(parent, name)->setHasChildren(true);
    tree.customSort(parent, byText, false);
    tree.endUpdate();
    parent->expand(false);
    auto* view = static_cast<QTreeView*>(tree.widget());
    view->doItemsLayout();
    view->viewport()->repaint();
    const double elapsed = ms(Clock::now() - start);
    if (tree.items().count() != kNodes + 1 || parent->item(0)->text() > parent->item(1)->text()) {
        std::fprintf(stderr, "tree_view_bench: the tree is wrong\n");
        std::exit(1);
    }
    return elapsed;
}

double vectorRound(const std::vector<std::string>& names) {
    const auto start = Clock::now();
    std::vector<std::string> copy(names.begin(), names.end());
    std::sort(copy.begin(), copy.end());
    const double elapsed = ms(Clock::now() - start);
    if (copy.size() != names.size()) std::exit(1);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::vector<std::string> names = folderNames();
    std::vector<double> tree;
    std::vector<double> plain;
    for (int i = 0; i < rounds; ++i) {
        tree.push_back(treeRound(names));
        plain.push_back(vectorRound(names));
    }
    const double t = median(tree);
    const double v = median(plain);
    const double tBest = *std::min_element(tree.begin(), tree.end());
    const double vBest = *std::min_element(plain.begin(), plain.end());
    std::printf("%d rounds                                           median    best\n", rounds);
    std::printf("10,000 nodes added, sorted, shown in the tree view: %6.2f ms %6.2f ms\n", t,
                tBest);
    std::printf("10,000 strings copied and sorted in a vector:       %6.2f ms %6.2f ms\n", v,
                vBest);
    std::printf("ratio:                                              %6.1fx   %6.1fx\n", t / v,
                tBest / vBest);
    return 0;
}
