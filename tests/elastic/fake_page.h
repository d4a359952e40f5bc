#pragma once
// A page without a window for the scaling tests: a tree of plain nodes standing for the
// controls, and a form that records what the scaling asked of it.

#include <memory>
#include <string>
#include <vector>

#include "elastic/form_scaler.h"

namespace elastic_testing {

using elastic::Bounds;
using elastic::Size;

struct FakeNode {
    std::string name;
    Bounds bounds;
    bool visible = true;
    bool hidden = false;  // hidden temporarily
    bool parentFont = true;
    int fontSize = 8;
    std::vector<std::string> properties;  // published names, as a class would list them
    bool label = false;
    bool autoSize = false;
    Size text;  // what a label measures when its auto-size is switched on
    int setBoundsCalls = 0;
    std::vector<std::unique_ptr<FakeNode>> children;
    std::vector<std::string>* log = nullptr;

    FakeNode& add(std::string childName, Bounds childBounds) {
        children.push_back(std::make_unique<FakeNode>());
        FakeNode& child = *children.back();
        child.name = std::move(childName);
        child.bounds = childBounds;
        child.log = log;
        return child;
    }
};

class FakeControl : public elastic::ScalableControl {
public:
    explicit FakeControl(FakeNode& node) : m_node(node) {}
    std::string name() const override { return m_node.name; }
    Bounds bounds() const override { return m_node.bounds; }
    void setBounds(const Bounds& b) override {
        m_node.bounds = b;
        ++m_node.setBoundsCalls;
    }
    bool visible() const override { return m_node.visible; }
    void setVisible(bool value) override { m_node.visible = value; }
    void hideTemporarily() override {
        m_node.hidden = true;
        record("hide " + m_node.name);
    }
    void endTemporaryHiding() override {
        m_node.hidden = false;
        record("show " + m_node.name);
    }
    bool parentFont() const override { return m_node.parentFont; }
    int fontSize() const override { return m_node.fontSize; }
    void setFontSize(int points) override { m_node.fontSize = points; }
    bool hasProperty(std::string_view wanted) const override {
        for (const std::string& p : m_node.properties) {
            if (p.size() == wanted.size() &&
                std::equal(p.begin(), p.end(), wanted.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) ==
                           std::tolower(static_cast<unsigned char>(b));
                }))
                return true;
        }
        return false;
    }
    bool isLabel() const override { return m_node.label; }
    bool autoSize() const override { return m_node.autoSize; }
    void setAutoSize(bool value) override {
        m_node.autoSize = value;
        record(std::string("autosize ") + (value ? "on " : "off ") + m_node.name);
        if (value && m_node.label) {
            m_node.bounds.width = m_node.text.width;
            m_node.bounds.height = m_node.text.height;
        }
    }
    std::vector<std::unique_ptr<elastic::ScalableControl>> children() const override {
        std::vector<std::unique_ptr<elastic::ScalableControl>> list;
        for (auto& child : m_node.children) list.push_back(std::make_unique<FakeControl>(*child));
        return list;
    }

private:
    void record(const std::string& what) {
        if (m_node.log != nullptr) m_node.log->push_back(what);
    }
    FakeNode& m_node;
};

// A bordered page: outer size = client + 8 x 27, as the framework's forms.
class FakeForm : public elastic::ScalableForm {
public:
    FakeForm() { root.log = &log; }

    std::vector<std::unique_ptr<elastic::ScalableControl>> children() const override {
        return FakeControl(const_cast<FakeNode&>(root)).children();
    }
    Bounds bounds() const override { return outer; }
    Size clientSize() const override {
        return border ? Size{outer.width - 8, outer.height - 27} : Size{outer.width, outer.height};
    }
    void setSize(Size size) override {
        outer.width = size.width;
        outer.height = size.height;
        log.push_back("resize " + std::to_string(size.width) + "x" + std::to_string(size.height));
    }
    int fontSize() const override { return font; }
    bool maximized() const override { return isMaximized; }
    void setMaximized(bool value) override { isMaximized = value; }
    bool hasBorder() const override { return border; }
    bool screenCentred() const override { return centred; }
    void rememberFocus() override { log.push_back("remember focus"); }
    void giveFocusBack() override { log.push_back("focus back"); }
    void repaint() override { log.push_back("repaint"); }

    void setClientSize(int width, int height) {
        outer.width = width + 8;
        outer.height = height + 27;
    }

    FakeNode root;
    Bounds outer;
    int font = 8;
    bool isMaximized = false;
    bool border = true;
    bool centred = true;
    std::vector<std::string> log;
};

// The welcome page as designed: 373 x 361 at 344, 189 on an 800 x 600 screen.
inline void designWelcomePage(FakeForm& form, elastic::ElasticSettings& s) {
    s.ElasticFont = false;
    s.DesignScreenWidth = 800;
    s.DesignScreenHeight = 600;
    s.DesignFormWidth = 373;
    s.DesignFormHeight = 361;
    s.DesignFormClientWidth = 365;
    s.DesignFormClientHeight = 334;
    s.DesignFormLeft = 344;
    s.DesignFormTop = 189;
    form.outer = {344, 189, 373, 361};
    form.root.add("Image1", {8, 8, 137, 193});
    form.root.add("Button2", {8, 296, 75, 25});
    form.root.add("Button3", {272, 296, 75, 25});
    form.root.add("Memo1", {152, 8, 209, 273});
    form.root.add("RadioButton1", {8, 224, 113, 17});
    form.root.add("RadioButton2", {8, 248, 113, 17});
}

}  // namespace elastic_testing
