#include "list_controls.h"

#include <QListWidget>

#include "plain_row_delegate.h"

namespace framework {

namespace {

QListWidgetItem* rowItem(const QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (item == nullptr)
        throw EPropertyError("List index out of bounds (" + std::to_string(row) + ")");
    return item;
}

}  // namespace

// The rows of the list widget itself: a put changes the text of the existing item, so its
// check state and selection stay.
class TListBox::Rows : public TStrings {
public:
    explicit Rows(const TListBox& box) : m_box(box) {}

    int count() const override { return list()->count(); }
    std::string get(int index) const override {
        checkIndex(index);
        return list()->item(index)->text().toStdString();
    }
    void put(int index, const std::string& text) override {
        checkIndex(index);
        list()->item(index)->setText(QString::fromStdString(text));
    }
    void insert(int index, const std::string& text) override {
        checkIndex(index, true);
        auto* item = new QListWidgetItem(QString::fromStdString(text));
        m_box.prepareRow(item);
        list()->insertItem(index, item);
    }
    void remove(int index) override {
        checkIndex(index);
        delete list()->takeItem(index);
    }
    void clear() override { list()->clear(); }

protected:
    void setUpdateState(bool updating) override { list()->setUpdatesEnabled(!updating); }

private:
    QListWidget* list() const { return m_box.listWidget(); }
    const TListBox& m_box;
};

TListBox::TListBox(Component* owner) : TControl(owner), m_items(std::make_unique<Rows>(*this)) {
    auto* list = new QListWidget;
    list->setItemDelegate(new PlainRowDelegate(m_itemHeight, list));
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    setWidget(list);
}

TListBox::~TListBox() = default;

const ClassInfo& TListBox::staticClassInfo() {
    using C = TListBox;
    return declareClass<C>("TListBox", [] {
        return std::vector<PropertyInfo>{
            objectProperty("Items", static_cast<TStrings& (C::*)()>(&C::Items)),
            valueProperty("ItemHeight", &C::itemHeight, &C::setItemHeight),
            valueProperty("MultiSelect", &C::multiSelect, &C::setMultiSelect),
            valueProperty("BorderStyle", &C::borderStyle, &C::setBorderStyle),
        };
    });
}

QListWidget* TListBox::listWidget() const { return static_cast<QListWidget*>(widget()); }

void TListBox::layOutRows() { listWidget()->doItemsLayout(); }

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

void TListBox::setSelected(int row, bool value) { rowItem(listWidget(), row)->setSelected(value); }

void TListBox::setBorderStyle(TBorderStyle value) {
    m_borderStyle = value;
    listWidget()->setFrameShape(value == TBorderStyle::bsNone ? QFrame::NoFrame
                                                              : QFrame::StyledPanel);
}

TCheckListBox::TCheckListBox(Component* owner) : TListBox(owner) {}

const ClassInfo& TCheckListBox::staticClassInfo() {
    return declareClass<TCheckListBox>("TCheckListBox", [] { return std::vector<PropertyInfo>{}; });
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
