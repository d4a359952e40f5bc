#include "control.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QWidget>
#include <algorithm>

#include "application.h"
#include "reader_texts.h"

namespace framework {

namespace {

// Re-aligns a container's children whenever its size changes.
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(TControl* control, QObject* parent) : QObject(parent), m_control(control) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) m_control->realignChildren();
        return QObject::eventFilter(watched, event);
    }

private:
    TControl* m_control;
};

}  // namespace

TControl::TControl(Component* owner) : Component(owner) {
    m_font.onChange = [this] { fontChanged(); };
}

TControl::~TControl() {
    setState(csDestroying, true);
    destroyComponents();
    if (m_parent != nullptr) m_parent->childRemoved(this);
    for (TControl* child : m_children) child->m_parent = nullptr;
    delete m_widget.data();
}

const ClassInfo& TControl::staticClassInfo() {
    using C = TControl;
    return declareClass<C>("TControl", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Left", &C::left, &C::setLeft),
            valueProperty("Top", &C::top, &C::setTop),
            valueProperty("Width", &C::width, &C::setWidth),
            valueProperty("Height", &C::height, &C::setHeight),
            valueProperty("Visible", &C::visible, &C::setVisible),
            valueProperty("Enabled", &C::enabled, &C::setEnabled),
            valueProperty("Hint", &C::hint, &C::setHint),
            valueProperty("ShowHint", &C::showHint, &C::setShowHint),
            valueProperty("HelpContext", &C::helpContextId, &C::setHelpContextId),
            valueProperty("TabOrder", &C::tabOrder, &C::setTabOrder),
            valueProperty("TabStop", &C::tabStop, &C::setTabStop),
            valueProperty("Align", &C::align, &C::setAlign),
            valueProperty("Color", &C::color, &C::setColor),
            valueProperty("ParentFont", &C::parentFont, &C::setParentFont),
            objectProperty("Font", static_cast<TFont& (C::*)()>(&C::Font)),
        };
    });
}

void TControl::setWidget(QWidget* widget) {
    m_widget = widget;
    m_widget->setObjectName(QString::fromStdString(name()));
}

void TControl::setName(const std::string& name) {
    Component::setName(name);
    if (m_widget) m_widget->setObjectName(QString::fromStdString(name));
}

void TControl::setParentControl(TControl* parent) {
    if (m_parent == parent) return;
    if (m_parent != nullptr) m_parent->childRemoved(this);
    m_parent = parent;
    if (m_parent == nullptr) return;
    m_parent->childAdded(this);
    if (m_widget) {
        m_widget->setParent(m_parent->clientWidget());
        // A child shows with its parent unless hidden; showing it here, before its bounds
        // are read, would make Qt size it to its contents first.
        if (!m_visible || m_hiddenCount > 0) m_widget->hide();
        applyHint();
    }
    if (m_parentFont) {
        followParentFont();
    } else {
        applyFont();
    }
}

void TControl::childAdded(TControl* child) { m_children.push_back(child); }

void TControl::childRemoved(TControl* child) { std::erase(m_children, child); }

void TControl::setLeft(int value) { setBounds(value, m_top, m_width, m_height); }
void TControl::setTop(int value) { setBounds(m_left, value, m_width, m_height); }
void TControl::setWidth(int value) { setBounds(m_left, m_top, value, m_height); }
void TControl::setHeight(int value) { setBounds(m_left, m_top, m_width, value); }

void TControl::setBounds(int left, int top, int width, int height) {
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyGeometry();
}

void TControl::applyGeometry() {
    if (m_widget) m_widget->setGeometry(m_left, m_top, std::max(0, m_width), std::max(0, m_height));
    // A hidden widget hears of its new size only when shown; its children align now.
    if (!m_children.empty()) realignChildren();
}

void TControl::setVisible(bool value) {
    m_visible = value;
    if (m_widget && m_parent != nullptr && m_hiddenCount == 0) m_widget->setVisible(value);
}

void TControl::hideTemporarily() {
    if (m_hiddenCount++ == 0 && m_widget && m_parent != nullptr) m_widget->hide();
}

void TControl::endTemporaryHiding() {
    if (m_hiddenCount == 0 || --m_hiddenCount > 0) return;
    if (m_widget && m_parent != nullptr) m_widget->setVisible(m_visible);
}

void TControl::keepBounds(int left, int top, int width, int height) {
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
}

bool TControl::enabled() const { return !m_widget || m_widget->isEnabled(); }

void TControl::setEnabled(bool value) {
    if (m_widget) m_widget->setEnabled(value);
}

void TControl::setHint(const std::string& value) {
    m_hint = value;
    applyHint();
}

bool TControl::showHint() const {
    if (m_showHint) return *m_showHint;
    return m_parent != nullptr && m_parent->showHint();
}

void TControl::setShowHint(bool value) {
    m_showHint = value;
    applyHint();
    for (TControl* child : m_children) child->applyHint();
}

void TControl::applyHint() {
    if (!m_widget) return;
    m_widget->setToolTip(showHint() ? QString::fromStdString(m_hint) : QString());
    setReaderDescription(*m_widget, QString::fromStdString(m_hint));
}

bool TControl::tabStop() const { return m_widget && m_widget->focusPolicy() != Qt::NoFocus; }

void TControl::setTabStop(bool value) {
    if (m_widget) m_widget->setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

void TControl::setAlign(Align value) {
    m_align = value;
    if (m_parent != nullptr) m_parent->realignChildren();
}

void TControl::realignChildren() {
    QWidget* client = clientWidget();
    if (client == nullptr) return;
    if (m_resizeWatcher == nullptr) {
        m_resizeWatcher = new ResizeWatcher(this, client);
        client->installEventFilter(m_resizeWatcher);
    }
    // Top and bottom take full rows first, then left and right, then the client fills the rest.
    int left = 0, top = 0, right = client->width(), bottom = client->height();
    for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        for (TControl* child : m_children) {
            if (child->m_align != pass) continue;
            switch (pass) {
                case Align::Top:
                    child->setBounds(left, top, right - left, child->m_height);
                    top += child->m_height;
                    break;
                case Align::Bottom:
                    bottom -= child->m_height;
                    child->setBounds(left, bottom, right - left, child->m_height);
                    break;
                case Align::Left:
                    child->setBounds(left, top, child->m_width, bottom - top);
                    left += child->m_width;
                    break;
                case Align::Right:
                    right -= child->m_width;
                    child->setBounds(right, top, child->m_width, bottom - top);
                    break;
                default: child->setBounds(left, top, right - left, bottom - top); break;
            }
        }
    }
}

void TControl::fontChanged() {
    // A change made while copying the parent's font keeps ParentFont; any other turns it off.
    if (!m_followingParent) m_parentFont = false;
    applyFont();
    for (TControl* child : m_children) {
        if (child->m_parentFont) child->followParentFont();
    }
}

void TControl::followParentFont() {
    if (m_parent == nullptr) return;
    m_followingParent = true;
    m_font.assign(m_parent->m_font);
    m_followingParent = false;
}

void TControl::setParentFont(bool value) {
    m_parentFont = value;
    if (value) followParentFont();
}

void TControl::applyFont() {
    if (!m_widget) return;
    m_widget->setFont(m_font.toQFont());
    // The palette is left alone while the text keeps its default colour: setting it costs
    // time at start-up on every control.
    if (m_font.color() == TColor::clWindowText && !m_textColored) return;
    m_textColored = true;
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::WindowText, toQColor(m_font.color()));
    palette.setColor(QPalette::Text, toQColor(m_font.color()));
    m_widget->setPalette(palette);
}

void TControl::setColor(TColor value) {
    m_color = value;
    if (!m_widget) return;
    const QColor color = toQColor(value);
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Window, color);
    m_widget->setPalette(palette);
}

}  // namespace framework
