#include "list_controls.h"

#include <QListWidget>

#include "row_height_delegate.h"

namespace framework {

namespace {

QListWidgetItem* rowItem(const QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (item == nullptr) throw EPropertyError("List index out of bounds (" + std::to_string(row) + ")");
    return item;
}

}  // namespace

TListBox::TListBox(Component* owner) : TControl(owner) {
    auto* list = new QListWidget;
    list->setItemDelegate(new RowHeightDelegate(m_itemHeight, list));
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    setWidget(list);
}

const ClassInfo& TListBox::staticClassInfo() {
    using C = TListBox;
    static const ClassInfo info(
        "TListBox", &TControl::staticClassInfo(),
        {
            valueProperty<C, StringList>("Items", PropertyKind::StringList, &C::items, &C::setItems),
            integerProperty<C>("ItemHeight", &C::itemHeight, &C::setItemHeight),
            booleanProperty<C>("MultiSelect", &C::multiSelect, &C::setMultiSelect),
            valueProperty<C, std::string>("BorderStyle", PropertyKind::Enumeration,
                                          &C::borderStyle, &C::setBorderStyle),
        });
    return info;
}

QListWidget* TListBox::listWidget() const { return static_cast<QListWidget*>(widget()); }

StringList TListBox::items() const {
    StringList out;
    for (int i = 0; i < listWidget()->count(); ++i) out.push_back(listWidget()->item(i)->text().toStdString());
    return out;
}

void TListBox::setItems(const StringList& value) {
    listWidget()->clear();
    for (const std::string& text : value) addItem(text);
}

int TListBox::count() const { return listWidget()->count(); }

void TListBox::addItem(const std::string& text) {
    auto* item = new QListWidgetItem(QString::fromStdString(text));
    prepareRow(item);
    listWidget()->addItem(item);
}

void TListBox::setItemHeight(int value) {
    m_itemHeight = value;
    listWidget()->doItemsLayout();
}

bool TListBox::multiSelect() const {
    return listWidget()->selectionMode() != QAbstractItemView::SingleSelection;
}

void TListBox::setMultiSelect(bool value) {
    listWidget()->setSelectionMode(value ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
}

bool TListBox::selected(int row) const { return rowItem(listWidget(), row)->isSelected(); }

void TListBox::setBorderStyle(const std::string& value) {
    if (value != "bsNone" && value != "bsSingle") throw EPropertyError("Unknown border " + value);
    m_borderStyle = value;
    listWidget()->setFrameShape(value == "bsNone" ? QFrame::NoFrame : QFrame::StyledPanel);
}

TCheckListBox::TCheckListBox(Component* owner) : TListBox(owner) {}

const ClassInfo& TCheckListBox::staticClassInfo() {
    static const ClassInfo info("TCheckListBox", &TListBox::staticClassInfo(), {});
    return info;
}

void TCheckListBox::prepareRow(QListWidgetItem* item) const {
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

bool TCheckListBox::checked(int row) const {
    return rowItem(listWidget(), row)->checkState() == Qt::Checked;
}

void TCheckListBox::setChecked(int row, bool value) {
    rowItem(listWidget(), row)->setCheckState(value ? Qt::Checked : Qt::Unchecked);
}

bool TCheckListBox::itemEnabled(int row) const {
    return (rowItem(listWidget(), row)->flags() & Qt::ItemIsEnabled) != 0;
}

}  // namespace framework
