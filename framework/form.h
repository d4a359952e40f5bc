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

struct ObjectNode;

class FormWindow;

enum class TPosition { poDesigned, poScreenCenter };
template <>
struct EnumTable<TPosition> {
    static constexpr std::string_view what = "position";
    static constexpr EnumName<TPosition> names[] = {{TPosition::poDesigned, "poDesigned"},
                                                    {TPosition::poScreenCenter, "poScreenCenter"}};
};

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize };
template <>
struct EnumTable<TBorderIcon> {
    static constexpr std::string_view what = "border icon";
    static constexpr EnumName<TBorderIcon> names[] = {{TBorderIcon::biSystemMenu, "biSystemMenu"},
                                                      {TBorderIcon::biMinimize, "biMinimize"},
                                                      {TBorderIcon::biMaximize, "biMaximize"}};
};
using TBorderIcons = Set<TBorderIcon>;

class TForm : public TControl {
    FRAMEWORK_CLASS(TControl)

    // Frame sizes of the system the pages were designed on, kept for outer sizes.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 27;

    ~TForm() override;

    bool acceptsChildControls() const override { return true; }

    // Publishes the page's handlers, reads the definition (creating and setting every
    // component), binds the page's fields, calls Loaded on every component and then
    // raises OnCreate.
    void createFromDefinition(std::string_view definition);
    // The same from a definition read before.
    void createFromDefinition(const ObjectNode& definition);
    // Raises OnDestroy; the owner calls it before freeing the page (see FormDeleter).
    void beforeDestruction();

    std::string caption() const;
    void setCaption(const std::string& value);
    int clientWidth() const { return width() - kFrameWidth; }
    int clientHeight() const { return height() - kFrameHeight; }
    void setClientWidth(int value) { setWidth(value + kFrameWidth); }
    void setClientHeight(int value) { setHeight(value + kFrameHeight); }
    TPosition position() const { return m_position; }
    void setPosition(TPosition value) { m_position = value; }
    TBorderIcons borderIcons() const { return m_borderIcons; }
    void setBorderIcons(const TBorderIcons& value);
    bool scaled() const { return m_scaled; }
    void setScaled(bool value) { m_scaled = value; }

    // Page operations.
    void Show();                           // visible and in front
    void Hide();                           // hidden, contents kept
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

    // The page's published method of that name, for event properties; nullptr if none.
    const MethodReference* findMethod(std::string_view name) const;

    // The window's close box; pages decide what it means (by default the page closes).
    virtual void closeBoxClicked() { Close(); }

    // The control that has the focus whenever the page is shown; without one the focus
    // stays where it was, or goes to the first control in the tab order.
    TControl* activeControl() const;
    void setActiveControl(TControl* control);

    // The page of a top-level window, or nullptr (also while the page is being freed).
    static TForm* ofWindow(const QObject* window);

protected:
    explicit TForm(Component* owner = nullptr);

    // Publishes a handler under its name; its parameters decide which events take it.
    template <class F, class... Args>
    void publish(std::string name, void (F::*method)(Component*, Args...)) {
        F* self = static_cast<F*>(this);
        m_methods.push_back(makeMethodReference<Args...>(
            std::move(name), [self, method](Component* sender, Args... args) {
                (self->*method)(sender, std::forward<Args>(args)...);
            }));
    }
    // Looks up the control of that name; a missing or different control is an error.
    template <class T>
    T* field(std::string_view name) const {
        T* found = dynamic_cast<T*>(findComponent(name));
        if (found == nullptr) throw EPropertyError("Field " + std::string(name) + " not found");
        return found;
    }
    // Called before the definition is read: pages publish their handlers.
    virtual void publishHandlers() {}
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
    void becomeDialog();
    void focusFirstControl();

    FormWindow* window() const;
    std::vector<MethodReference> m_methods;
    TPosition m_position = TPosition::poDesigned;
    TBorderIcons m_borderIcons{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize,
                               TBorderIcon::biMaximize};
    bool m_scaled = true;
    QEventLoop* m_modalLoop = nullptr;
    std::uint32_t m_activeControl = 0;  // handle
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
