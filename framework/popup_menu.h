#pragma once
// A context menu built from menu items: each item a caption with an OnClick event,
// enabled, visible, checked and default (bold) flags and, optionally, items of its own
// (a submenu). A caption of "-" is a separator.

#include <QPoint>

#include "component.h"

class QMenu;

namespace framework {

class TMenuItem : public Component {
    FRAMEWORK_CLASS(Component)

    explicit TMenuItem(Component* owner);

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& value) { m_caption = value; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool value) { m_enabled = value; }
    bool visible() const { return m_visible; }
    void setVisible(bool value) { m_visible = value; }
    bool checked() const { return m_checked; }
    void setChecked(bool value) { m_checked = value; }
    bool isDefault() const { return m_default; }
    void setDefault(bool value) { m_default = value; }
    bool isSeparator() const { return m_caption == "-"; }

    // Items of the submenu: the menu items this item owns, in order.
    int count() const;
    TMenuItem* item(int index) const;
    TMenuItem* add(const std::string& caption, NotifyEvent onClick = {});
    // Raises OnClick as a click on the item does.
    void click();

    NotifyEvent OnClick;

private:
    std::string m_caption;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
    bool m_default = false;
};

class TPopupMenu : public Component {
    FRAMEWORK_CLASS(Component)

    explicit TPopupMenu(Component* owner);

    // The top-level items, owned by the menu.
    TMenuItem* items() const { return m_items; }
    TMenuItem* add(const std::string& caption, NotifyEvent onClick = {});

    // The control the menu pops up for (set by the control that shows it).
    Component* popupComponent() const { return m_popupComponent; }
    void setPopupComponent(Component* value) { m_popupComponent = value; }

    // Raises OnPopup, shows the menu at the screen point and returns when it closes;
    // the chosen item's OnClick runs after the menu has closed. Returns that item, or
    // nullptr when the user chose nothing.
    TMenuItem* popup(int x, int y);

    // Raised before the menu shows, so that items can be set for the moment.
    NotifyEvent OnPopup;

private:
    TMenuItem* m_items;  // owned as a component
    Component* m_popupComponent = nullptr;
};

}  // namespace framework
