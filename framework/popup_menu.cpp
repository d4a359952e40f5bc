#include "popup_menu.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "control.h"

namespace framework {

namespace {

void fillMenu(QMenu& menu, const TMenuItem& parent,
              std::vector<std::pair<QAction*, TMenuItem*>>& actions) {
    for (int i = 0; i < parent.count(); ++i) {
        TMenuItem* item = parent.item(i);
        if (!item->visible()) continue;
        if (item->isSeparator()) {
            menu.addSeparator();
            continue;
        }
        const QString caption = QString::fromStdString(item->caption());
        if (item->count() > 0) {
            QMenu* sub = menu.addMenu(caption);
            sub->setEnabled(item->enabled());
            fillMenu(*sub, *item, actions);
            continue;
        }
        QAction* action = menu.addAction(caption);
        action->setEnabled(item->enabled());
        action->setCheckable(item->checked());
        action->setChecked(item->checked());
        if (item->isDefault()) menu.setDefaultAction(action);
        actions.emplace_back(action, item);
    }
}

}  // namespace

TMenuItem::TMenuItem(Component* owner) : Component(owner) {}

const ClassInfo& TMenuItem::staticClassInfo() {
    using C = TMenuItem;
    return declareClass<C>("TMenuItem", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Caption", &C::caption, &C::setCaption),
            valueProperty("Enabled", &C::enabled, &C::setEnabled),
            valueProperty("Visible", &C::visible, &C::setVisible),
            valueProperty("Checked", &C::checked, &C::setChecked),
            valueProperty("Default", &C::isDefault, &C::setDefault),
            eventProperty("OnClick", &C::OnClick),
        };
    });
}

TMenuItem* TMenuItem::add(const std::string& caption, NotifyEvent onClick) {
    auto* item = new TMenuItem(this);
    item->setCaption(caption);
    item->OnClick = std::move(onClick);
    return item;
}

int TMenuItem::count() const {
    int items = 0;
    for (int i = 0; i < componentCount(); ++i)
        items += dynamic_cast<TMenuItem*>(component(i)) != nullptr;
    return items;
}

TMenuItem* TMenuItem::item(int index) const {
    for (int i = 0; i < componentCount(); ++i) {
        auto* item = dynamic_cast<TMenuItem*>(component(i));
        if (item != nullptr && index-- == 0) return item;
    }
    throw EPropertyError("Menu index out of bounds");
}

void TMenuItem::click() { raiseEvent(OnClick, this); }

TPopupMenu::TPopupMenu(Component* owner) : Component(owner), m_items(new TMenuItem(this)) {}

const ClassInfo& TPopupMenu::staticClassInfo() {
    return declareClass<TPopupMenu>("TPopupMenu", [] {
        return std::vector<PropertyInfo>{eventProperty("OnPopup", &TPopupMenu::OnPopup)};
    });
}

TMenuItem* TPopupMenu::add(const std::string& caption, NotifyEvent onClick) {
    return m_items->add(caption, std::move(onClick));
}

TMenuItem* TPopupMenu::popup(int x, int y) {
    raiseEvent(OnPopup, this);
    QMenu menu;
    std::vector<std::pair<QAction*, TMenuItem*>> actions;
    fillMenu(menu, *m_items, actions);
    if (actions.empty()) return nullptr;
    QAction* chosen = menu.exec(QPoint(x, y));
    const auto it = std::find_if(actions.begin(), actions.end(),
                                 [chosen](const auto& entry) { return entry.first == chosen; });
    if (chosen == nullptr || it == actions.end()) return nullptr;
    it->second->click();
    return it->second;
}

}  // namespace framework
