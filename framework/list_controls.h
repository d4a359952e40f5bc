#pragma once
// List boxes: the plain one and the check-list box whose rows each carry a check mark.
// Their rows are a TStrings edited in place (Items).

#include <memory>

#include "control.h"
#include "strings.h"

class QListWidget;
class QListWidgetItem;

namespace framework {

class TListBox : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TListBox(Component* owner);
    ~TListBox() override;

    // The rows; putting a row's text keeps its selection and check mark.
    TStrings& Items() { return *m_items; }
    const TStrings& Items() const { return *m_items; }
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int value);
    bool multiSelect() const;
    void setMultiSelect(bool value);
    bool selected(int row) const;
    void setSelected(int row, bool value);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle value);
    QListWidget* listWidget() const;
    // Lays out the rows added since the list was last drawn. Qt does it only at the next
    // turn of the event loop and then draws the whole list once more; a list about to be
    // drawn at once (a log) has it done first.
    void layOutRows();

protected:
    // Gives a new row its look before it is added.
    virtual void prepareRow(QListWidgetItem* /*item*/) const {}

private:
    class Rows;
    std::unique_ptr<TStrings> m_items;  // a Rows
    int m_itemHeight = 13;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
};

class TCheckListBox : public TListBox {
    FRAMEWORK_CLASS(TListBox)

    explicit TCheckListBox(Component* owner);

    bool checked(int row) const;
    void setChecked(int row, bool value);
    bool itemEnabled(int row) const;

protected:
    void prepareRow(QListWidgetItem* item) const override;
};

}  // namespace framework
