#include "form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <algorithm>

#include "application.h"
#include "form_keys.h"
#include "form_reader.h"

namespace framework {

namespace {

WindowState windowStateOf(Qt::WindowStates states) {
    if (states.testFlag(Qt::WindowMinimized)) return WindowState::Minimized;
    if (states.testFlag(Qt::WindowMaximized) || states.testFlag(Qt::WindowFullScreen)) {
        return WindowState::Maximized;
    }
    return WindowState::Normal;
}

// The pages from back to front: the page shown or activated last is in front. Never freed,
// so that a page destroyed late at exit still finds it.
std::vector<TForm*>& frontOrder() {
    static auto* pages = new std::vector<TForm*>;
    return *pages;
}

void toFront(TForm* page) {
    std::erase(frontOrder(), page);
    frontOrder().push_back(page);
}

// The showing page in front of all others but the given one.
const TForm* pageInFront(const TForm* except) {
    const std::vector<TForm*>& pages = frontOrder();
    const auto front = std::find_if(pages.rbegin(), pages.rend(), [except](const TForm* page) {
        return page != except && page->isShowing();
    });
    return front == pages.rend() ? nullptr : *front;
}

// The window manager keeps a window over the one it names as its parent; under Wayland,
// where the compositor places every window, that is the only way to keep it there. A modal
// page names the page in front when it opens, and no page once it closed.
void keepOver(QWidget& page, const TForm* opener) {
    page.winId();  // the window handle exists from here on
    page.windowHandle()->setTransientParent(opener != nullptr ? opener->widget()->windowHandle()
                                                              : nullptr);
}

Qt::WindowStates qtWindowState(WindowState state) {
    switch (state) {
        case WindowState::Minimized: return Qt::WindowMinimized;
        case WindowState::Maximized: return Qt::WindowMaximized;
        default: return Qt::WindowNoState;
    }
}

}  // namespace

// The page's top-level window: turns the window's events into the page's messages and
// leaves the close box to the page.
class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm* form) : m_form(form) {
        m_kindTimer.setSingleShot(true);
        m_kindTimer.setInterval(kSizeAfterStateMs);
        QObject::connect(&m_kindTimer, &QTimer::timeout, this, [this] { reportPendingKind(); });
    }
    void detach() { m_form = nullptr; }
    TForm* form() const { return m_form; }

protected:
    bool event(QEvent* event) override {
        if (m_form != nullptr) deliver(*event);
        return QWidget::event(event);
    }
    void deliver(QEvent& event) {
        // Events the window system sends are spontaneous; those the program's own calls
        // cause are not.
        const MessageOrigin origin =
            event.spontaneous() ? MessageOrigin::WindowManager : MessageOrigin::Program;
        switch (event.type()) {
            case QEvent::Show:  // a spontaneous one only restores an icon
                if (!event.spontaneous()) m_form->windowShown();
                break;
            case QEvent::Hide:
                if (!event.spontaneous()) m_form->windowHidden();
                break;
            case QEvent::WindowActivate:
            case QEvent::WindowDeactivate:
                m_form->windowActivated(event.type() == QEvent::WindowActivate);
                break;
            case QEvent::Move: m_form->windowMoved(origin); break;
            case QEvent::Resize: resized(origin); break;
            case QEvent::WindowStateChange:
                windowStateChanged(static_cast<QWindowStateChangeEvent&>(event), origin);
                break;
            default: break;
        }
    }
    void windowStateChanged(const QWindowStateChangeEvent& event, MessageOrigin origin) {
        const WindowState oldState = windowStateOf(event.oldState());
        m_form->windowStateChanged(oldState, origin);
        // An icon keeps its size: its new size kind is reported now. Maximizing and
        // restoring bring a new size after the state: the kind is reported with it, or
        // after a while, should the size stay.
        if (oldState == WindowState::Minimized || m_form->windowState() == WindowState::Minimized) {
            m_form->reportResize(origin);
            return;
        }
        m_kindOrigin = origin;
        m_kindTimer.start();
    }
    void resized(MessageOrigin origin) {
        m_kindTimer.stop();
        m_form->windowResized(origin);
    }
    void reportPendingKind() {
        if (m_form != nullptr) m_form->reportResize(m_kindOrigin);
    }
    void closeEvent(QCloseEvent* event) override {
        // Only the window system closes the window itself (the page hides it): that is the
        // close box, and what it means is the page's decision.
        event->ignore();
        if (m_form != nullptr) m_form->closeBoxClicked();
    }

private:
    static constexpr int kSizeAfterStateMs = 150;
    TForm* m_form;
    QTimer m_kindTimer;
    MessageOrigin m_kindOrigin = MessageOrigin::Program;
};

TForm::TForm(Component* owner) : TControl(owner) {
    setWidget(new FormWindow(this));
    new FormKeys(widget());
    setBorderIcons(m_borderIcons);
    Application::instance().formCreated(this);
}

TForm::~TForm() {
    std::erase(frontOrder(), this);
    Application::instance().formDestroyed(this);
    if (FormWindow* w = window()) w->detach();
    // Components on the page go while the page is still whole (they may undo their hooks).
    destroyComponents();
    if (m_modalLoop != nullptr) m_modalLoop->quit();
}

FormWindow* TForm::window() const { return static_cast<FormWindow*>(widget()); }

TForm* TForm::ofWindow(const QObject* window) {
    const auto* page = dynamic_cast<const FormWindow*>(window);
    return page != nullptr ? page->form() : nullptr;
}

TControl* TForm::activeControl() const {
    return m_activeControl == 0 ? nullptr
                                : dynamic_cast<TControl*>(Component::fromHandle(m_activeControl));
}

void TForm::setActiveControl(TControl* control) {
    m_activeControl = control != nullptr ? control->handle() : 0;
}

const ClassInfo& TForm::staticClassInfo() {
    using C = TForm;
    return declareClass<C>("TForm", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Caption", &C::caption, &C::setCaption),
            valueProperty("ClientWidth", &C::clientWidth, &C::setClientWidth),
            valueProperty("ClientHeight", &C::clientHeight, &C::setClientHeight),
            valueProperty("Position", &C::position, &C::setPosition),
            valueProperty("BorderIcons", &C::borderIcons, &C::setBorderIcons),
            valueProperty("Scaled", &C::scaled, &C::setScaled),
            valueProperty("ActiveControl", &C::activeControl, &C::setActiveControl),
            eventProperty("OnCreate", &C::OnCreate),
            eventProperty("OnShow", &C::OnShow),
            eventProperty("OnActivate", &C::OnActivate),
            eventProperty("OnResize", &C::OnResize),
            eventProperty("OnDestroy", &C::OnDestroy),
        };
    });
}

void TForm::createFromDefinition(std::string_view definition) {
    createFromDefinition(parsePageDefinition(definition));
}

void TForm::createFromDefinition(const ObjectNode& definition) {
    publishHandlers();
    readForm(*this, definition);
    bindFields();
    for (int i = 0; i < componentCount(); ++i) component(i)->Loaded();
    Loaded();
    applyTabOrder();
    raiseEvent(OnCreate, this);
    // A failing component hook fails the creation of the page.
    m_hooks->deliver(message(FormMessageKind::Created, MessageOrigin::Program));
}

void TForm::beforeDestruction() {
    if (m_destroyRaised) return;
    m_destroyRaised = true;
    dispatch(message(FormMessageKind::Destroy, MessageOrigin::Program), OnDestroy);
}

MessageHookHandle TForm::addMessageHook(FormMessageHook hook) {
    return MessageHookHandle(m_hooks, m_hooks->add(std::move(hook)));
}

FormMessage TForm::message(FormMessageKind kind, MessageOrigin origin) const {
    FormMessage result;
    result.kind = kind;
    result.origin = origin;
    result.bounds = {left(), top(), width(), height()};
    result.newState = result.oldState = windowState();
    result.sizeKind = sizeKindOf(result.newState);
    return result;
}

void TForm::dispatch(const FormMessage& message, const NotifyEvent& handler) {
    const std::shared_ptr<MessageHookChain> hooks = m_hooks;  // hooks may drop their handles
    if (!callHandler([&] { hooks->deliver(message); })) return;
    raiseEvent(handler, this);
}

void TForm::windowShown() {
    dispatch(message(FormMessageKind::Show, MessageOrigin::Program), OnShow);
}

void TForm::windowHidden() { dispatch(message(FormMessageKind::Hide, MessageOrigin::Program), {}); }

void TForm::windowActivated(bool active) {
    if (active) {
        toFront(this);
        dispatch(message(FormMessageKind::Activate, MessageOrigin::WindowManager), OnActivate);
    } else {
        dispatch(message(FormMessageKind::Deactivate, MessageOrigin::WindowManager), {});
    }
}

void TForm::windowMoved(MessageOrigin origin) {
    keepBounds(widget()->x(), widget()->y(), width(), height());
    dispatch(message(FormMessageKind::Move, origin), {});
}

void TForm::windowResized(MessageOrigin origin) {
    keepBounds(left(), top(), widget()->width() + kFrameWidth, widget()->height() + kFrameHeight);
    reportResize(origin);
}

void TForm::windowStateChanged(WindowState oldState, MessageOrigin origin) {
    FormMessage changed = message(FormMessageKind::WindowState, origin);
    changed.oldState = oldState;
    dispatch(changed, {});
}

void TForm::reportResize(MessageOrigin origin) {
    const FormMessage resized = message(FormMessageKind::Resize, origin);
    const std::tuple size{resized.bounds.width, resized.bounds.height, resized.sizeKind};
    if (m_reportedSize == size) return;
    m_reportedSize = size;
    dispatch(resized, OnResize);
}

WindowState TForm::windowState() const { return windowStateOf(widget()->windowState()); }

void TForm::setWindowState(WindowState state) { widget()->setWindowState(qtWindowState(state)); }

void TForm::setSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
    const auto client = [](int outer, int frame, int none) {
        return outer > 0 ? std::max(0, outer - frame) : none;
    };
    widget()->setMinimumSize(client(minWidth, kFrameWidth, 0), client(minHeight, kFrameHeight, 0));
    widget()->setMaximumSize(client(maxWidth, kFrameWidth, QWIDGETSIZE_MAX),
                             client(maxHeight, kFrameHeight, QWIDGETSIZE_MAX));
}

std::string TForm::caption() const { return widget()->windowTitle().toStdString(); }

void TForm::setCaption(const std::string& value) {
    widget()->setWindowTitle(QString::fromStdString(value));
}

void TForm::setBorderIcons(const TBorderIcons& value) {
    const Qt::WindowType type = widget()->windowType() == Qt::Dialog ? Qt::Dialog : Qt::Window;
    Qt::WindowFlags flags = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (value.contains(TBorderIcon::biSystemMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (value.contains(TBorderIcon::biMinimize)) flags |= Qt::WindowMinimizeButtonHint;
    if (value.contains(TBorderIcon::biMaximize)) flags |= Qt::WindowMaximizeButtonHint;
    m_borderIcons = value;
    widget()->setWindowFlags(flags);
}

// A page centred on the screen is centred when it is shown; bounds given meanwhile (the
// elastic component's scaled ones at the first show) place it all the same.
void TForm::applyGeometry() {
    widget()->resize(std::max(0, clientWidth()), std::max(0, clientHeight()));
    widget()->move(left(), top());
    if (!childControls().empty()) realignChildren();
}

// On the whole screen, as the elastic component centres a page it adapts; a page larger
// than the screen keeps its title bar on it.
void TForm::centreOnScreen() {
    const ScreenSize screen = Application::instance().screenSize();
    const int x = std::max(0, (screen.width - width()) / 2);
    const int y = std::max(0, (screen.height - height()) / 2);
    keepBounds(x, y, width(), height());
    widget()->move(x, y);
}

void TForm::Show() {
    toFront(this);
    if (m_position == TPosition::poScreenCenter) centreOnScreen();
    widget()->show();
    widget()->raise();
    widget()->activateWindow();
    focusFirstControl();
}

void TForm::Hide() { widget()->hide(); }

void TForm::setVisible(bool value) {
    if (value == isShowing()) return;
    if (value) {
        Show();
    } else {
        Hide();
    }
}

bool TForm::isShowing() const { return widget()->isVisible(); }

// To the window manager a page run modally is a dialog of the page that opened it: kept
// over that page and not listed as a window of its own.
void TForm::becomeDialog() {
    QWidget& page = *widget();
    if (page.windowType() != Qt::Dialog)
        page.setWindowFlags((page.windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
}

void TForm::ShowModal() {
    QEventLoop loop;
    becomeDialog();
    widget()->setWindowModality(Qt::ApplicationModal);
    keepOver(*widget(), pageInFront(this));
    m_modalLoop = &loop;
    Show();
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    keepOver(*widget(), nullptr);
    widget()->setWindowModality(Qt::NonModal);
}

void TForm::Close() {
    Hide();
    if (m_modalLoop != nullptr) m_modalLoop->quit();
    if (Application::instance().mainForm() == this) Application::instance().terminate();
}

const MethodReference* TForm::findMethod(std::string_view name) const {
    for (const MethodReference& method : m_methods) {
        if (method.name == name) return &method;
    }
    return nullptr;
}

namespace {

// Depth first: each container's children by tab order, each followed by its own children.
void collectTabChain(const TControl& container, std::vector<QWidget*>& chain) {
    std::vector<TControl*> children = container.childControls();
    std::stable_sort(children.begin(), children.end(), [](const TControl* a, const TControl* b) {
        return a->tabOrder() < b->tabOrder();
    });
    for (TControl* child : children) {
        if (child->tabOrder() < 0) continue;
        if (child->tabStop()) chain.push_back(child->widget());
        collectTabChain(*child, chain);
    }
}

}  // namespace

void TForm::applyTabOrder() {
    std::vector<QWidget*> chain;
    collectTabChain(*this, chain);
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TForm::focusFirstControl() {
    if (TControl* active = activeControl(); active != nullptr && active->widget() != nullptr) {
        active->widget()->setFocus(Qt::ActiveWindowFocusReason);
        return;
    }
    if (widget()->focusWidget() != nullptr) return;
    std::vector<QWidget*> chain;
    collectTabChain(*this, chain);
    for (QWidget* w : chain) {
        if (w->isEnabled() && w->isVisibleTo(widget())) {
            w->setFocus();
            return;
        }
    }
}

}  // namespace framework
