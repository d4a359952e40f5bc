#include "control.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QWidget>
#include <algorithm>

#include "application.h"

namespace framework {

namespace {

constexpr std::pair<Align, const char*> kAlignNames[] = {
    {Align::None, "alNone"}, {Align::Top, "alTop"},     {Align::Bottom, "alBottom"},
    {Align::Left, "alLeft"}, {Align::Right, "alRight"}, {Align::Client, "alClient"},
};

bool hasMember(const SetValue& set, std::string_view member) {
    return std::find(set.members.begin(), set.members.end(), member) != set.members.end();
}

QColor namedColor(const std::string& name) {
    const QPalette palette = QApplication::palette();
    if (name == "clBtnFace") return palette.color(QPalette::Button);
    if (name == "clWindow") return palette.color(QPalette::Base);
    if (name == "clWindowText" || name == "clBlack") return Qt::black;
    if (name == "clWhite") return Qt::white;
    throw EPropertyError("Unknown colour " + name);
}

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

QFont FontSpec::toQFont() const {
    QFont font(QString::fromStdString(name));
    // A negative height is the character height in pixels, a positive one the cell height;
    // both map onto a pixel size since page fonts are never scaled by the desktop's DPI.
    font.setPixelSize(std::max(1, height < 0 ? -height : height));
    font.setBold(hasMember(style, "fsBold"));
    font.setItalic(hasMember(style, "fsItalic"));
    font.setUnderline(hasMember(style, "fsUnderline"));
    return font;
}

namespace {

// Multiplies and divides, rounding half away from zero, as font heights are converted.
int mulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

int FontSpec::size(int pixelsPerInch) const {
    // A positive height (the cell height) counts as the character height, as in toQFont.
    return mulDiv(height < 0 ? -height : height, 72, std::max(1, pixelsPerInch));
}

void FontSpec::setSize(int points, int pixelsPerInch) {
    height = -mulDiv(points, pixelsPerInch, 72);
}

void raiseEvent(const NotifyEvent& event, Component* sender) {
    if (!event) return;
    try {
        event(sender);
    } catch (const std::exception& error) {
        Application::instance().showException(error);
    }
}

TControl::TControl(Component* owner) : Component(owner) {}

TControl::~TControl() {
    setState(csDestroying, true);
    destroyComponents();
    if (m_parent != nullptr) m_parent->childRemoved(this);
    for (TControl* child : m_children) child->m_parent = nullptr;
    delete m_widget.data();
}

const ClassInfo& TControl::staticClassInfo() {
    using C = TControl;
    static const ClassInfo info(
        "TControl", &Component::staticClassInfo(),
        {
            integerProperty<C>("Left", &C::left, &C::setLeft),
            integerProperty<C>("Top", &C::top, &C::setTop),
            integerProperty<C>("Width", &C::width, &C::setWidth),
            integerProperty<C>("Height", &C::height, &C::setHeight),
            booleanProperty<C>("Visible", &C::visible, &C::setVisible),
            booleanProperty<C>("Enabled", &C::enabled, &C::setEnabled),
            valueProperty<C, std::string>("Hint", PropertyKind::String, &C::hint, &C::setHint),
            booleanProperty<C>("ShowHint", &C::showHint, &C::setShowHint),
            integerProperty<C>("HelpContext", &C::helpContextId, &C::setHelpContextId),
            integerProperty<C>("TabOrder", &C::tabOrder, &C::setTabOrder),
            booleanProperty<C>("TabStop", &C::tabStop, &C::setTabStop),
            valueProperty<C, std::string>("Align", PropertyKind::Enumeration, &C::alignName,
                                          &C::setAlignName),
            valueProperty<C, std::string>("Color", PropertyKind::Enumeration, &C::color, &C::setColor),
            booleanProperty<C>("ParentFont", &C::parentFont, &C::setParentFont),
            valueProperty<C, std::string>("Font.Name", PropertyKind::String, &C::fontName,
                                          &C::setFontName),
            integerProperty<C>("Font.Height", &C::fontHeight, &C::setFontHeight),
            valueProperty<C, SetValue>("Font.Style", PropertyKind::Set, &C::fontStyle,
                                       &C::setFontStyle),
            valueProperty<C, std::string>("Font.Color", PropertyKind::Enumeration, &C::fontColor,
                                          &C::setFontColor),
        });
    return info;
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
        applyFont();
        applyHint();
    }
}

void TControl::childAdded(TControl* child) {
    m_children.push_back(child);
}

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
    if (m_widget) m_widget->setToolTip(showHint() ? QString::fromStdString(m_hint) : QString());
}

bool TControl::tabStop() const { return m_widget && m_widget->focusPolicy() != Qt::NoFocus; }

void TControl::setTabStop(bool value) {
    if (m_widget) m_widget->setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

std::string TControl::alignName() const {
    for (const auto& [align, name] : kAlignNames) {
        if (align == m_align) return name;
    }
    return "alNone";
}

void TControl::setAlignName(const std::string& value) {
    for (const auto& [align, name] : kAlignNames) {
        if (value == name) {
            m_align = align;
            if (m_parent != nullptr) m_parent->realignChildren();
            return;
        }
    }
    throw EPropertyError("Unknown alignment " + value);
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
                default:
                    child->setBounds(left, top, right - left, bottom - top);
                    break;
            }
        }
    }
}

const FontSpec& TControl::font() const {
    if (m_parentFont && m_parent != nullptr) return m_parent->font();
    return m_font;
}

FontSpec& TControl::ownFont() {
    // The first change of a font that followed the parent starts from the parent's font.
    if (m_parentFont) {
        m_font = font();
        m_parentFont = false;
    }
    return m_font;
}

void TControl::setParentFont(bool value) {
    if (!value) ownFont();
    m_parentFont = value;
    applyFont();
}

void TControl::setFontName(const std::string& value) {
    ownFont().name = value;
    applyFont();
}

void TControl::setFontHeight(int value) {
    ownFont().height = value;
    applyFont();
}

void TControl::setFontStyle(const SetValue& value) {
    ownFont().style = value;
    applyFont();
}

void TControl::setFontColor(const std::string& value) {
    namedColor(value);  // rejects unknown names
    ownFont().color = value;
    applyFont();
}

int TControl::fontSize() const {
    return font().size(Application::instance().pixelsPerInch());
}

void TControl::setFontSize(int points) {
    ownFont().setSize(points, Application::instance().pixelsPerInch());
    applyFont();
}

void TControl::applyFont() {
    if (!m_widget) return;
    if (m_parentFont && m_parent != nullptr) {
        m_widget->setFont(QFont());  // follow the parent widget again
    } else {
        m_widget->setFont(m_font.toQFont());
        QPalette palette = m_widget->palette();
        palette.setColor(QPalette::WindowText, namedColor(m_font.color));
        palette.setColor(QPalette::Text, namedColor(m_font.color));
        m_widget->setPalette(palette);
    }
    for (TControl* child : m_children) {
        if (child->m_parentFont) child->applyFont();
    }
}

void TControl::setColor(const std::string& value) {
    QColor color = namedColor(value);
    m_color = value;
    if (!m_widget) return;
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Window, color);
    m_widget->setPalette(palette);
}

}  // namespace framework
