#pragma once
// Joins the user-interface thread's call queue to the Qt event loop: the queue belongs
// to the thread that runs the application, and a call queued by a worker thread posts
// an event that serves the queue there.

namespace framework {

// Called by the application object on creation and destruction.
void attachUiThreadQueue();
void detachUiThreadQueue();

}  // namespace framework
