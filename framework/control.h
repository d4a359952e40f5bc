#pragma once
// Visual components: a TControl wraps one Qt widget and carries the published
// properties every control shares (bounds, visibility, font, hint, tab order, alignment).

#include <QPointer>
#include <QWidget>
#include <optional>

#include "component.h"
#include "graphics.h"

namespace framework {

enum class Align { None, Top, Bottom, Left, Right, Client };
template <>
struct EnumTable<Align> {
    static constexpr std::string_view what = "alignment";
    static constexpr EnumName<Align> names[] = {
        {Align::None, "alNone"}, {Align::Top, "alTop"},     {Align::Bottom, "alBottom"},
        {Align::Left, "alLeft"}, {Align::Right, "alRight"}, {Align::Client, "alClient"},
    };
};

// The frame of boxes and lists.
enum class TBorderStyle { bsNone, bsSingle };
template <>
struct EnumTable<TBorderStyle> {
    static constexpr std::string_view what = "border";
    static constexpr EnumName<TBorderStyle> names[] = {{TBorderStyle::bsNone, "bsNone"},
                                                       {TBorderStyle::bsSingle, "bsSingle"}};
};

class TControl : public Component {
    FRAMEWORK_CLASS(Component)

    ~TControl() override;

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
    bool enabled() const;
    void setEnabled(bool value);

    // The hint is the control's description for screen readers, also where it is not
    // shown as a tooltip.
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
    void setAlign(Align value);

    // The control's font. While ParentFont is on it follows the parent's font; changing
    // it turns ParentFont off.
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    bool parentFont() const { return m_parentFont; }
    void setParentFont(bool value);

    TColor color() const { return m_color; }
    void setColor(TColor value);

    // Lays out children with an alignment inside this control's client area.
    void realignChildren();

    // Whether screen readers are told of the control; pictures only decorate.
    virtual bool shownToReaders() const { return true; }

protected:
    explicit TControl(Component* owner);
    void setWidget(QWidget* widget);
    virtual void applyGeometry();
    // Records bounds the window already has (the window manager moved or sized it).
    void keepBounds(int left, int top, int width, int height);
    virtual void applyFont();
    virtual void applyHint();

private:
    void fontChanged();
    void followParentFont();
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
    bool m_followingParent = false;
    bool m_textColored = false;
    TFont m_font;
    TColor m_color = TColor::clBtnFace;
    QObject* m_resizeWatcher = nullptr;
};

}  // namespace framework
