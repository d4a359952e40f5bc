#pragma once
// The messages a page's window sends to the components on the page, and the chain of
// hooks through which components hear them before the page's own handlers run.

#include <functional>
#include <memory>
#include <vector>

namespace framework {

enum class FormMessageKind {
    Created,      // after the page's creation handler (OnCreate) ran
    Show,         // the page is about to become visible (not sent on restore from an icon)
    Hide,         // the page was hidden by the program
    Activate,     // the page became the active window
    Deactivate,   // another window became active
    Move,         // the page's left or top changed
    Resize,       // the page's size or its size kind changed
    WindowState,  // normal, maximized or minimized changed
    Destroy,      // the page is about to be destroyed
};

enum class WindowState { Normal, Minimized, Maximized };

// The kind of a size change: which window state the new size belongs to.
enum class SizeKind { Restored, Minimized, Maximized };

// Whether the window manager (the user dragging, maximizing, ...) or the program caused it.
enum class MessageOrigin { Program, WindowManager };

struct FormBounds {
    int left = 0, top = 0, width = 0, height = 0;  // outer bounds, as the page stores them
    bool operator==(const FormBounds&) const = default;
};

struct FormMessage {
    FormMessageKind kind = FormMessageKind::Created;
    MessageOrigin origin = MessageOrigin::Program;
    FormBounds bounds;                           // the page's bounds after the change
    SizeKind sizeKind = SizeKind::Restored;      // Resize
    WindowState oldState = WindowState::Normal;  // WindowState
    WindowState newState = WindowState::Normal;  // WindowState (and current otherwise)
};

SizeKind sizeKindOf(WindowState state);

using FormMessageHook = std::function<void(const FormMessage&)>;

class MessageHookChain;

// Keeps a hook installed for its lifetime; destroying or resetting it removes the hook.
// Safe in either order of destruction: a hook outliving its page does nothing.
class MessageHookHandle {
public:
    MessageHookHandle() = default;
    MessageHookHandle(std::weak_ptr<MessageHookChain> chain, int id);
    ~MessageHookHandle();
    MessageHookHandle(MessageHookHandle&& other) noexcept;
    MessageHookHandle& operator=(MessageHookHandle&& other) noexcept;
    MessageHookHandle(const MessageHookHandle&) = delete;
    MessageHookHandle& operator=(const MessageHookHandle&) = delete;

    void reset();
    bool installed() const;

private:
    std::weak_ptr<MessageHookChain> m_chain;
    int m_id = 0;
};

// The hooks of one page. The hook installed last hears a message first, as each hook
// sits in front of everything installed before it; the page's handlers come after all.
class MessageHookChain {
public:
    int add(FormMessageHook hook);
    void remove(int id);
    bool contains(int id) const;
    bool empty() const { return m_hooks.empty(); }
    // Calls every hook, newest first. Hooks may install or remove hooks meanwhile: a
    // removed hook is not called any more, a new one hears the next message. An exception
    // leaving a hook stops the delivery and reaches the caller.
    void deliver(const FormMessage& message) const;

private:
    struct Entry {
        int id;
        std::shared_ptr<const FormMessageHook> hook;
    };
    std::vector<Entry> m_hooks;  // oldest first
    int m_nextId = 1;
};

}  // namespace framework
