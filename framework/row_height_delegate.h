#pragma once
// Gives every row of a list the control's designed row height.

#include <QStyledItemDelegate>

namespace framework {

class RowHeightDelegate : public QStyledItemDelegate {
public:
    RowHeightDelegate(const int& height, QObject* parent)
        : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_height);
        return size;
    }

private:
    const int& m_height;  // the control's ItemHeight, which outlives the delegate
};

}  // namespace framework
