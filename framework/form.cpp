#include "form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "application.h"
#include "form_reader.h"

namespace framework {

// The page's top-level window: reports showing, activation and the close box.
class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm* form) : m_form(form) {}
    void detach() { m_form = nullptr; }

protected:
    bool event(QEvent* event) override {
        if (m_form != nullptr) {
            if (event->type() == QEvent::Show) raiseEvent(m_form->OnShow, m_form);
            if (event->type() == QEvent::WindowActivate) raiseEvent(m_form->OnActivate, m_form);
        }
        return QWidget::event(event);
    }
    void closeEvent(QCloseEvent* event) override {
        // Only the window system closes the window itself (the page hides it): that is the
        // close box, and what it means is the page's decision.
        event->ignore();
        if (m_form != nullptr) m_form->closeBoxClicked();
    }

private:
    TForm* m_form;
};

TForm::TForm(Component* owner) : TControl(owner) {
    setWidget(new FormWindow(this));
    setBorderIcons(m_borderIcons);
    Application::instance().formCreated(this);
}

TForm::~TForm() {
    Application::instance().formDestroyed(this);
    if (FormWindow* w = window()) w->detach();
    if (m_modalLoop != nullptr) m_modalLoop->quit();
}

FormWindow* TForm::window() const { return static_cast<FormWindow*>(widget()); }

const ClassInfo& TForm::staticClassInfo() {
    using C = TForm;
    static const ClassInfo info(
        "TForm", &TControl::staticClassInfo(),
        {
            valueProperty<C, std::string>("Caption", PropertyKind::String, &C::caption,
                                          &C::setCaption),
            integerProperty<C>("ClientWidth", &C::clientWidth, &C::setClientWidth),
            integerProperty<C>("ClientHeight", &C::clientHeight, &C::setClientHeight),
            valueProperty<C, std::string>("Position", PropertyKind::Enumeration, &C::position,
                                          &C::setPosition),
            valueProperty<C, SetValue>("BorderIcons", PropertyKind::Set, &C::borderIcons,
                                       &C::setBorderIcons),
            booleanProperty<C>("Scaled", &C::scaled, &C::setScaled),
            eventProperty<C>("OnCreate", &C::OnCreate),
            eventProperty<C>("OnShow", &C::OnShow),
            eventProperty<C>("OnActivate", &C::OnActivate),
            eventProperty<C>("OnDestroy", &C::OnDestroy),
        });
    return info;
}

void TForm::createFromDefinition(std::string_view definition) {
    readForm(*this, parsePageDefinition(definition));
    bindFields();
    for (int i = 0; i < componentCount(); ++i) component(i)->Loaded();
    Loaded();
    applyTabOrder();
    raiseEvent(OnCreate, this);
}

void TForm::beforeDestruction() {
    if (m_destroyRaised) return;
    m_destroyRaised = true;
    raiseEvent(OnDestroy, this);
}

std::string TForm::caption() const { return widget()->windowTitle().toStdString(); }

void TForm::setCaption(const std::string& value) {
    widget()->setWindowTitle(QString::fromStdString(value));
}

void TForm::setPosition(const std::string& value) {
    if (value != "poDesigned" && value != "poScreenCenter") {
        throw EPropertyError("Unknown position " + value);
    }
    m_position = value;
}

void TForm::setBorderIcons(const SetValue& value) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    for (const std::string& icon : value.members) {
        if (icon == "biSystemMenu") {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        } else if (icon == "biMinimize") {
            flags |= Qt::WindowMinimizeButtonHint;
        } else if (icon == "biMaximize") {
            flags |= Qt::WindowMaximizeButtonHint;
        } else {
            throw EPropertyError("Unknown border icon " + icon);
        }
    }
    m_borderIcons = value;
    widget()->setWindowFlags(flags);
}

void TForm::applyGeometry() {
    widget()->resize(std::max(0, clientWidth()), std::max(0, clientHeight()));
    if (m_position == "poDesigned") widget()->move(left(), top());
    if (!childControls().empty()) realignChildren();
}

void TForm::centreOnScreen() {
    const QScreen* screen = widget()->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    widget()->move(area.x() + (area.width() - width()) / 2,
                   area.y() + (area.height() - height()) / 2);
}

void TForm::Show() {
    if (m_position == "poScreenCenter") centreOnScreen();
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

void TForm::ShowModal() {
    QEventLoop loop;
    widget()->setWindowModality(Qt::ApplicationModal);
    m_modalLoop = &loop;
    Show();
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    widget()->setWindowModality(Qt::NonModal);
}

void TForm::Close() {
    Hide();
    if (m_modalLoop != nullptr) m_modalLoop->quit();
    if (Application::instance().mainForm() == this) Application::instance().terminate();
}

NotifyEvent TForm::methodAddress(std::string_view name) const {
    for (const auto& [methodName, method] : m_methods) {
        if (methodName == name) return method;
    }
    return {};
}

namespace {

// Depth first: each container's children by tab order, each followed by its own children.
void collectTabChain(const TControl& container, std::vector<QWidget*>& chain) {
    std::vector<TControl*> children = container.childControls();
    std::stable_sort(children.begin(), children.end(),
                     [](const TControl* a, const TControl* b) { return a->tabOrder() < b->tabOrder(); });
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
