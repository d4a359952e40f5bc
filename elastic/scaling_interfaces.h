#pragma once
// What the scaling needs of a page and its controls, free of any window system: the
// component adapts the framework's form and controls to these, the tests use fakes.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace elastic {

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// The screen the page runs on, recorded when the component is created.
struct Screen {
    int width = 0;
    int height = 0;
    int pixelsPerInch = 96;
};

class ScalableControl {
public:
    virtual ~ScalableControl() = default;

    virtual std::string name() const = 0;
    // Bounds in the parent's client area; setBounds sets all four in one call.
    virtual Bounds bounds() const = 0;
    virtual void setBounds(const Bounds& bounds) = 0;
    // The control's own Visible, which temporary hiding leaves alone.
    virtual bool visible() const = 0;
    virtual void setVisible(bool value) = 0;
    // Hides the control without touching Visible, and ends that again.
    virtual void hideTemporarily() = 0;
    virtual void endTemporaryHiding() = 0;

    virtual bool parentFont() const = 0;
    // The control's own font size in points.
    virtual int fontSize() const = 0;
    virtual void setFontSize(int points) = 0;

    // Whether the control publishes a property of that name (compared without case).
    virtual bool hasProperty(std::string_view name) const = 0;
    virtual bool isLabel() const = 0;
    // The published AutoSize; false for controls without one.
    virtual bool autoSize() const = 0;
    virtual void setAutoSize(bool value) = 0;

    // The child controls in order (empty for controls that hold none).
    virtual std::vector<std::unique_ptr<ScalableControl>> children() const = 0;
};

class ScalableForm {
public:
    virtual ~ScalableForm() = default;

    virtual std::vector<std::unique_ptr<ScalableControl>> children() const = 0;
    // Outer bounds on the screen, and the client area's size.
    virtual Bounds bounds() const = 0;
    virtual Size clientSize() const = 0;
    virtual void setSize(Size size) = 0;
    // The form's font size in points.
    virtual int fontSize() const = 0;

    virtual bool maximized() const = 0;
    virtual void setMaximized(bool value) = 0;
    virtual bool hasBorder() const = 0;
    virtual bool screenCentred() const = 0;

    // Keeps the window that has the keyboard focus, and gives the focus back to it.
    virtual void rememberFocus() = 0;
    virtual void giveFocusBack() = 0;
    virtual void repaint() = 0;
};

}  // namespace elastic
