#pragma once
// What screen readers are told a control is called and what it is for. Telling Qt's
// accessibility layer of a change makes it build the widget's reader interface at once,
// whether or not a reader listens; only real changes are told, so that pages are made
// without that cost.

#include <QString>
#include <QWidget>

namespace framework {

inline void setReaderName(QWidget& widget, const QString& name) {
    if (widget.accessibleName() != name) widget.setAccessibleName(name);
}

inline void setReaderDescription(QWidget& widget, const QString& description) {
    if (widget.accessibleDescription() != description) widget.setAccessibleDescription(description);
}

}  // namespace framework
