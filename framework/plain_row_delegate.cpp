#include "plain_row_delegate.h"

#include <QPainter>

#include <algorithm>

namespace framework {

namespace {

bool isPrintableAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
}

bool isPlainRow(const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus)) return false;
    return !index.data(Qt::CheckStateRole).isValid() && !index.data(Qt::DecorationRole).isValid();
}

// The text colour the style takes for a view item in this state.
QColor textColour(const QStyleOptionViewItem& option) {
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled)  ? QPalette::Disabled
                                       : !(option.state & QStyle::State_Active) ? QPalette::Inactive
                                                                                : QPalette::Normal;
    return option.palette.color(group, QPalette::Text);
}

}  // namespace

void PlainRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!isPlainRow(option, index) || !isPrintableAscii(text)) {
        return RowHeightDelegate::paint(painter, option, index);
    }
    // The style's text frame: its margin at either side, the text centred in the height.
    const QWidget* view = option.widget;
    const QStyle* style = view != nullptr ? view->style() : nullptr;
    const int margin =
        style != nullptr ? style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1 : 3;
    const QRect frame = option.rect.adjusted(margin, 0, -margin, 0);
    QFont font = option.font;
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(text) > frame.width()) {
        return RowHeightDelegate::paint(painter, option, index);  // the style elides it
    }
    painter->save();
    painter->setFont(font);
    painter->setPen(textColour(option));
    const int baseline = frame.top() + (frame.height() - metrics.height()) / 2 + metrics.ascent();
    painter->drawText(QPoint(frame.left(), baseline), text);
    painter->restore();
}

}  // namespace framework
