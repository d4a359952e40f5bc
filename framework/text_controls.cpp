#include "text_controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

#include "row_height_delegate.h"

namespace framework {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Turns a mouse click into a widget into the control's click event.
class ClickFilter : public QObject {
public:
    ClickFilter(const NotifyEvent& event, Component* sender, QObject* parent)
        : QObject(parent), m_event(event), m_sender(sender) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) raiseEvent(m_event, m_sender);
        return QObject::eventFilter(watched, event);
    }

private:
    const NotifyEvent& m_event;
    Component* m_sender;
};

}  // namespace

namespace {

// A label that is sized to its text once it is about to be seen.
class AutoSizeLabel : public QLabel {
public:
    explicit AutoSizeLabel(std::function<void()> fit) : m_fit(std::move(fit)) {}

protected:
    void showEvent(QShowEvent* event) override {
        m_fit();
        QLabel::showEvent(event);
    }

private:
    std::function<void()> m_fit;
};

}  // namespace

TLabel::TLabel(Component* owner) : TControl(owner) {
    auto* l = new AutoSizeLabel([this] {
        if (m_fitPending) fitToText();
    });
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(l);
    setTabStop(false);
}

const ClassInfo& TLabel::staticClassInfo() {
    using C = TLabel;
    static const ClassInfo info(
        "TLabel", &TControl::staticClassInfo(),
        {
            valueProperty<C, std::string>("Caption", PropertyKind::String, &C::caption,
                                          &C::setCaption),
            booleanProperty<C>("WordWrap", &C::wordWrap, &C::setWordWrap),
            booleanProperty<C>("AutoSize", &C::autoSize, &C::setAutoSize),
        });
    return info;
}

QLabel* TLabel::label() const { return static_cast<QLabel*>(widget()); }

void TLabel::setCaption(const std::string& value) {
    m_caption = value;
    // A caption keeps its carriage returns; on screen each CR LF (or lone CR) breaks the line.
    QString shown = qs(value);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label()->setText(shown);
    fitToText();
}

bool TLabel::wordWrap() const { return label()->wordWrap(); }

void TLabel::setWordWrap(bool value) {
    label()->setWordWrap(value);
    fitToText();
}

void TLabel::setAutoSize(bool value) {
    m_autoSize = value;
    fitToText();
}

void TLabel::applyFont() {
    TControl::applyFont();
    fitToText();
}

void TLabel::fitToText() {
    if (!m_autoSize || label()->wordWrap() || parentControl() == nullptr) return;
    // Measuring loads the label's font; a label on a hidden page is measured when shown.
    if (!label()->isVisible()) {
        m_fitPending = true;
        return;
    }
    m_fitPending = false;
    const QSize size = label()->sizeHint();
    setBounds(left(), top(), size.width(), size.height());
}

TMemo::TMemo(Component* owner) : TControl(owner) {
    auto* e = new QPlainTextEdit;
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(e);
}

const ClassInfo& TMemo::staticClassInfo() {
    using C = TMemo;
    static const ClassInfo info(
        "TMemo", &TControl::staticClassInfo(),
        {
            valueProperty<C, StringList>("Lines", PropertyKind::StringList, &C::lines, &C::setLines),
            booleanProperty<C>("ReadOnly", &C::readOnly, &C::setReadOnly),
            valueProperty<C, std::string>("BorderStyle", PropertyKind::Enumeration,
                                          &C::borderStyle, &C::setBorderStyle),
        });
    return info;
}

QPlainTextEdit* TMemo::editor() const { return static_cast<QPlainTextEdit*>(widget()); }

StringList TMemo::lines() const {
    StringList out;
    for (const QString& line : editor()->toPlainText().split(QLatin1Char('\n'))) {
        out.push_back(line.toStdString());
    }
    return out;
}

void TMemo::setLines(const StringList& value) {
    QStringList lines;
    for (const std::string& line : value) lines << qs(line);
    editor()->setPlainText(lines.join(QLatin1Char('\n')));
}

bool TMemo::readOnly() const { return editor()->isReadOnly(); }
void TMemo::setReadOnly(bool value) { editor()->setReadOnly(value); }

void TMemo::setBorderStyle(const std::string& value) {
    if (value != "bsNone" && value != "bsSingle") throw EPropertyError("Unknown border " + value);
    m_borderStyle = value;
    editor()->setFrameShape(value == "bsNone" ? QFrame::NoFrame : QFrame::StyledPanel);
}

TEdit::TEdit(Component* owner) : TControl(owner) {
    auto* e = new QLineEdit;
    setWidget(e);
    e->installEventFilter(new ClickFilter(OnClick, this, e));
    QObject::connect(e, &QLineEdit::textChanged, [this] { raiseEvent(OnChange, this); });
}

const ClassInfo& TEdit::staticClassInfo() {
    using C = TEdit;
    static const ClassInfo info(
        "TEdit", &TControl::staticClassInfo(),
        {
            valueProperty<C, std::string>("Text", PropertyKind::String, &C::text, &C::setText),
            eventProperty<C>("OnClick", &C::OnClick),
            eventProperty<C>("OnChange", &C::OnChange),
        });
    return info;
}

QLineEdit* TEdit::lineEdit() const { return static_cast<QLineEdit*>(widget()); }
std::string TEdit::text() const { return lineEdit()->text().toStdString(); }
void TEdit::setText(const std::string& value) { lineEdit()->setText(qs(value)); }

TComboBox::TComboBox(Component* owner) : TControl(owner) {
    auto* c = new QComboBox;
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setItemDelegate(new RowHeightDelegate(m_itemHeight, c));
    setWidget(c);
    QObject::connect(c, &QComboBox::editTextChanged, [this] {
        if (!m_settingInCode) raiseEvent(OnChange, this);
    });
}

const ClassInfo& TComboBox::staticClassInfo() {
    using C = TComboBox;
    static const ClassInfo info(
        "TComboBox", &TControl::staticClassInfo(),
        {
            integerProperty<C>("ItemHeight", &C::itemHeight, &C::setItemHeight),
            valueProperty<C, StringList>("Items", PropertyKind::StringList, &C::items, &C::setItems),
            valueProperty<C, std::string>("Text", PropertyKind::String, &C::text, &C::setText),
            integerProperty<C>("ItemIndex", &C::itemIndex, &C::setItemIndex),
            eventProperty<C>("OnChange", &C::OnChange),
        });
    return info;
}

QComboBox* TComboBox::comboBox() const { return static_cast<QComboBox*>(widget()); }

std::string TComboBox::text() const { return comboBox()->currentText().toStdString(); }

void TComboBox::setText(const std::string& value) {
    m_settingInCode = true;
    comboBox()->setEditText(qs(value));
    m_settingInCode = false;
}

StringList TComboBox::items() const {
    StringList out;
    for (int i = 0; i < comboBox()->count(); ++i) out.push_back(comboBox()->itemText(i).toStdString());
    return out;
}

void TComboBox::setItems(const StringList& value) {
    m_settingInCode = true;
    const QString text = comboBox()->currentText();
    comboBox()->clear();
    for (const std::string& item : value) comboBox()->addItem(qs(item));
    comboBox()->setEditText(text);
    m_settingInCode = false;
}

int TComboBox::itemIndex() const {
    const int index = comboBox()->findText(comboBox()->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    return index;
}

void TComboBox::setItemIndex(int value) {
    if (value < -1 || value >= comboBox()->count()) throw EPropertyError("List index out of bounds");
    m_settingInCode = true;
    comboBox()->setCurrentIndex(value);
    if (value == -1) comboBox()->setEditText(QString());
    m_settingInCode = false;
}

void TComboBox::setItemHeight(int value) {
    m_itemHeight = value;
    comboBox()->view()->doItemsLayout();
}

}  // namespace framework
