#pragma once
// A page: a top-level window created by reading its stored definition. Its client area
// holds the controls; the window manager draws the frame (outer size = client + 8 x 27).

#include <memory>
#include <string_view>
#include <tuple>

#include "control.h"
#include "form_messages.h"

class QEventLoop;

namespace framework {

class FormWindow;

class TForm : public TControl {
public:
    // Frame sizes of the system the pages were designed on, kept for outer sizes.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 27;

    explicit TForm(Component* owner = nullptr);
    ~TForm() override;

    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }
    bool acceptsChildControls() const override { return true; }

    // Reads the definition (creating and setting every component), binds the page's
    // fields, calls Loaded on every component and then raises OnCreate.
    void createFromDefinition(std::string_view definition);
    // Raises OnDestroy; the owner calls it before freeing the page (see FormDeleter).
    void beforeDestruction();

    std::string caption() const;
    void setCaption(const std::string& value);
    int clientWidth() const { return width() - kFrameWidth; }
    int clientHeight() const { return height() - kFrameHeight; }
    void setClientWidth(int value) { setWidth(value + kFrameWidth); }
    void setClientHeight(int value) { setHeight(value + kFrameHeight); }
    std::string position() const { return m_position; }
    void setPosition(const std::string& value);
    SetValue borderIcons() const { return m_borderIcons; }
    void setBorderIcons(const SetValue& value);
    bool scaled() const { return m_scaled; }
    void setScaled(bool value) { m_scaled = value; }

    // Page operations.
    void Show();                          // visible and in front
    void Hide();                          // hidden, contents kept
    void setVisible(bool value) override;  // true leaves a visible page as it is
    bool isShowing() const;
    void ShowModal();  // returns when the page closes
    void Close();      // ends a modal run; closing the main page ends the program
    bool isModal() const { return m_modalLoop != nullptr; }

    // The page's own handlers. Components do not assign these: they install a message
    // hook, which runs before the handler whenever and by whomever the handler is set.
    NotifyEvent OnCreate;
    NotifyEvent OnShow;
    NotifyEvent OnActivate;
    NotifyEvent OnResize;
    NotifyEvent OnDestroy;

    // Installs a hook that hears every message of this page before the page's handlers,
    // and before the hooks installed earlier. The hook stays while the handle lives.
    [[nodiscard]] MessageHookHandle addMessageHook(FormMessageHook hook);

    WindowState windowState() const;
    void setWindowState(WindowState state);
    // Smallest and largest outer size the user can give the page; 0 leaves a limit free.
    void setSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight);

    // The page's published method of that name, for event properties; empty if none.
    NotifyEvent methodAddress(std::string_view name) const;

    // The window's close box; pages decide what it means (by default the page closes).
    virtual void closeBoxClicked() { Close(); }

protected:
    template <class F>
    void publish(std::string name, void (F::*method)(Component*)) {
        F* self = static_cast<F*>(this);
        m_methods.emplace_back(std::move(name), [self, method](Component* s) { (self->*method)(s); });
    }
    // Looks up the control of that name; a missing or different control is an error.
    template <class T>
    T* field(std::string_view name) const {
        T* found = dynamic_cast<T*>(findComponent(name));
        if (found == nullptr) throw EPropertyError("Field " + std::string(name) + " not found");
        return found;
    }
    // Called after the definition was read, before Loaded: pages fetch their controls.
    virtual void bindFields() {}

    void applyGeometry() override;

private:
    friend class FormWindow;
    // Message dispatch from the window: hooks first, then the page's handler.
    void windowShown();
    void windowHidden();
    void windowActivated(bool active);
    void windowMoved(MessageOrigin origin);
    void windowResized(MessageOrigin origin);
    void windowStateChanged(WindowState oldState, MessageOrigin origin);
    void reportResize(MessageOrigin origin);
    FormMessage message(FormMessageKind kind, MessageOrigin origin) const;
    // Hooks, then the handler; what escapes is shown in the error box.
    void dispatch(const FormMessage& message, const NotifyEvent& handler);
    void applyTabOrder();
    void centreOnScreen();
    void focusFirstControl();

    FormWindow* window() const;
    std::vector<std::pair<std::string, NotifyEvent>> m_methods;
    std::string m_position = "poDesigned";
    SetValue m_borderIcons{{"biSystemMenu", "biMinimize", "biMaximize"}};
    bool m_scaled = true;
    QEventLoop* m_modalLoop = nullptr;
    bool m_destroyRaised = false;
    std::shared_ptr<MessageHookChain> m_hooks = std::make_shared<MessageHookChain>();
    // The size and kind last reported, so that each change is reported once.
    std::optional<std::tuple<int, int, SizeKind>> m_reportedSize;
};

struct FormDeleter {
    void operator()(TForm* form) const {
        form->beforeDestruction();
        delete form;
    }
};

template <class F>
using FormPtr = std::unique_ptr<F, FormDeleter>;

}  // namespace framework
