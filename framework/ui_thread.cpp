#include "ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "thread/sync_queue.h"

namespace framework {

void attachUiThreadQueue() {
    SyncQueue& queue = SyncQueue::ui();
    queue.adoptCurrentThread();
    QCoreApplication* app = QCoreApplication::instance();
    // Posting only queues an event; the calls run when the event loop (or a wait for a
    // thread) gets to them.
    queue.setWakeup([app] {
        QMetaObject::invokeMethod(
            app, [] { SyncQueue::ui().serve(); }, Qt::QueuedConnection);
    });
}

void detachUiThreadQueue() { SyncQueue::ui().setWakeup({}); }

}  // namespace framework
