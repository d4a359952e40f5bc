#pragma once
// The rows of a list box: the designed row height, and rows of plain text drawn directly.

#include "row_height_delegate.h"

namespace framework {

// A row that is only ASCII text fitting its width, neither selected nor holding the focus nor
// a check mark, is drawn straight onto the painter: the same pixels as the style draws, at a
// fraction of the cost. The style lays out each row's text afresh on every paint to elide it,
// and shapes it, which text like this needs neither of; the install's log, repainted after
// every step, spent a third of its repaint there. Every other row goes through the style.
class PlainRowDelegate : public RowHeightDelegate {
public:
    using RowHeightDelegate::RowHeightDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace framework
