#include "framework_adapters.h"

#include <QWidget>

#include "framework/text_controls.h"

namespace elastic {

namespace {

std::vector<std::unique_ptr<ScalableControl>> adapt(
    const std::vector<framework::TControl*>& controls) {
    std::vector<std::unique_ptr<ScalableControl>> list;
    list.reserve(controls.size());
    for (framework::TControl* c : controls) list.push_back(std::make_unique<ControlAdapter>(*c));
    return list;
}

}  // namespace

Bounds ControlAdapter::bounds() const {
    return {m_control.left(), m_control.top(), m_control.width(), m_control.height()};
}

void ControlAdapter::setBounds(const Bounds& b) {
    m_control.setBounds(b.left, b.top, b.width, b.height);
}

bool ControlAdapter::hasProperty(std::string_view name) const {
    return m_control.findProperty(name) != nullptr;
}

bool ControlAdapter::isLabel() const {
    return dynamic_cast<framework::TLabel*>(&m_control) != nullptr;
}

bool ControlAdapter::autoSize() const {
    if (!hasProperty("AutoSize")) return false;
    return framework::toBoolean(m_control.property("AutoSize"), "AutoSize");
}

void ControlAdapter::setAutoSize(bool value) {
    if (hasProperty("AutoSize"))
        m_control.setProperty("AutoSize", framework::Identifier{value ? "True" : "False"});
}

std::vector<std::unique_ptr<ScalableControl>> ControlAdapter::children() const {
    return adapt(m_control.childControls());
}

std::vector<std::unique_ptr<ScalableControl>> FormAdapter::children() const {
    return adapt(m_form.childControls());
}

Bounds FormAdapter::bounds() const {
    return {m_form.left(), m_form.top(), m_form.width(), m_form.height()};
}

Size FormAdapter::clientSize() const { return {m_form.clientWidth(), m_form.clientHeight()}; }

void FormAdapter::setSize(Size size) {
    m_form.setBounds(m_form.left(), m_form.top(), size.width, size.height);
}

bool FormAdapter::maximized() const {
    return m_form.windowState() == framework::WindowState::Maximized;
}

void FormAdapter::setMaximized(bool value) {
    m_form.setWindowState(value ? framework::WindowState::Maximized
                                : framework::WindowState::Normal);
}

bool FormAdapter::screenCentred() const {
    return m_form.position() == framework::TPosition::poScreenCenter;
}

void FormAdapter::rememberFocus() { m_focus = m_form.widget()->focusWidget(); }

void FormAdapter::giveFocusBack() {
    if (m_focus && m_focus->isVisible()) m_focus->setFocus();
    m_focus = nullptr;
}

// One update: Qt paints the page once, when the rescale is over.
void FormAdapter::repaint() { m_form.widget()->update(); }

}  // namespace elastic
