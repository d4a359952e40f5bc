#pragma once
// Visual components: a TControl wraps one Qt widget and carries the published
// properties every control shares (bounds, visibility, font, hint, tab order, alignment).

#include <QPointer>
#include <QWidget>
#include <optional>

#include "component.h"

class QFont;

namespace framework {

// A font as a page stores it: face name, height (negative: character height in pixels),
// style set (fsBold, fsItalic, fsUnderline) and colour name.
struct FontSpec {
    std::string name = "Tahoma";
    int height = -11;
    SetValue style;
    std::string color = "clWindowText";
    QFont toQFont() const;
    // The size in points at a screen resolution, and back (rounded to the nearest pixel).
    int size(int pixelsPerInch) const;
    void setSize(int points, int pixelsPerInch);
};

enum class Align { None, Top, Bottom, Left, Right, Client };

class TControl : public Component {
public:
    explicit TControl(Component* owner);
    ~TControl() override;

    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    void setName(const std::string& name) override;
    QWidget* widget() const { return m_widget; }
    // The widget that holds child controls (the widget itself for containers).
    virtual QWidget* clientWidget() const { return m_widget; }
    virtual bool acceptsChildControls() const { return false; }

    TControl* parentControl() const { return m_parent; }
    void setParentControl(TControl* parent);
    const std::vector<TControl*>& childControls() const { return m_children; }

    int left() const { return m_left; }
    int top() const { return m_top; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void setLeft(int value);
    void setTop(int value);
    virtual void setWidth(int value);
    virtual void setHeight(int value);
    void setBounds(int left, int top, int width, int height);

    bool visible() const { return m_visible; }
    virtual void setVisible(bool value);
    // Hides the control on screen while leaving Visible as it is (a page hides its
    // controls while it lays them out anew); endTemporaryHiding shows it again exactly
    // when Visible is set, also when Visible changed meanwhile. Calls nest.
    void hideTemporarily();
    void endTemporaryHiding();
    bool temporarilyHidden() const { return m_hiddenCount > 0; }
    bool enabled() const;
    void setEnabled(bool value);

    const std::string& hint() const { return m_hint; }
    void setHint(const std::string& value);
    bool showHint() const;  // own setting, else the parent's; off at the form
    void setShowHint(bool value);

    int helpContextId() const { return m_helpContext; }
    void setHelpContextId(int value) { m_helpContext = value; }

    int tabOrder() const { return m_tabOrder; }
    void setTabOrder(int value) { m_tabOrder = value; }
    bool tabStop() const;
    void setTabStop(bool value);

    Align align() const { return m_align; }
    std::string alignName() const;
    void setAlignName(const std::string& value);

    const FontSpec& font() const;
    bool parentFont() const { return m_parentFont; }
    void setParentFont(bool value);
    std::string fontName() const { return font().name; }
    int fontHeight() const { return font().height; }
    SetValue fontStyle() const { return font().style; }
    std::string fontColor() const { return font().color; }
    void setFontName(const std::string& value);
    void setFontHeight(int value);
    void setFontStyle(const SetValue& value);
    void setFontColor(const std::string& value);
    // The font's size in points at the screen's pixels per inch.
    int fontSize() const;
    void setFontSize(int points);

    std::string color() const { return m_color; }
    void setColor(const std::string& value);

    // Lays out children with an alignment inside this control's client area.
    void realignChildren();

protected:
    void setWidget(QWidget* widget);
    virtual void applyGeometry();
    // Records bounds the window already has (the window manager moved or sized it).
    void keepBounds(int left, int top, int width, int height);
    virtual void applyFont();
    void applyHint();

private:
    FontSpec& ownFont();
    void childAdded(TControl* child);
    void childRemoved(TControl* child);

    QPointer<QWidget> m_widget;
    TControl* m_parent = nullptr;
    std::vector<TControl*> m_children;  // not owned: the owner owns them
    int m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    bool m_visible = true;
    int m_hiddenCount = 0;
    std::string m_hint;
    std::optional<bool> m_showHint;
    int m_helpContext = 0;
    int m_tabOrder = -1;
    Align m_align = Align::None;
    bool m_parentFont = true;
    FontSpec m_font;
    std::string m_color;
    QObject* m_resizeWatcher = nullptr;
};

// Raises an event when assigned; an exception escaping the handler is shown in the
// error box and the program goes on.
void raiseEvent(const NotifyEvent& event, Component* sender);

}  // namespace framework
