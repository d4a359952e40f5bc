#pragma once
// List boxes: the plain one and the check-list box whose rows each carry a check mark.

#include "control.h"

class QListWidget;
class QListWidgetItem;

namespace framework {

class TListBox : public TControl {
public:
    explicit TListBox(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    StringList items() const;
    void setItems(const StringList& value);
    int count() const;
    // Adds a last row; the list keeps its scroll position.
    void addItem(const std::string& text);
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int value);
    bool multiSelect() const;
    void setMultiSelect(bool value);
    bool selected(int row) const;
    std::string borderStyle() const { return m_borderStyle; }
    void setBorderStyle(const std::string& value);
    QListWidget* listWidget() const;

protected:
    // Gives a new row its look before it is added.
    virtual void prepareRow(QListWidgetItem* /*item*/) const {}

private:
    int m_itemHeight = 13;
    std::string m_borderStyle = "bsSingle";
};

class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    bool checked(int row) const;
    void setChecked(int row, bool value);
    bool itemEnabled(int row) const;

protected:
    void prepareRow(QListWidgetItem* item) const override;
};

}  // namespace framework
