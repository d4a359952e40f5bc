#pragma once
// Ends the process as soon as a window has painted for the first time, so that the
// whole-process wall time measures start-up to the first painted page.

#include <unistd.h>
#include <QEvent>
#include <QObject>
#include <QTimer>

class ExitAfterFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            // The paint finishes and is flushed before the zero timer runs.
            QTimer::singleShot(0, [] { _exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }
};
