#include "text_controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>

#include "row_height_delegate.h"
#include "shown_text.h"

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

// An edit box lays out its text anew whenever its font changes. One on a page that is not
// shown does so only when it shows or is painted: the faces of the later pages are then
// loaded when those pages come, not all at start for boxes nobody has seen yet.
class EditBox : public QLineEdit {
protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange && !isVisible()) {
            m_fontPending = true;
            return;
        }
        QLineEdit::changeEvent(event);
    }
    void showEvent(QShowEvent* event) override {
        takePendingFont();
        QLineEdit::showEvent(event);
    }
    void paintEvent(QPaintEvent* event) override {
        takePendingFont();
        QLineEdit::paintEvent(event);
    }

private:
    void takePendingFont() {
        if (!m_fontPending) return;
        m_fontPending = false;
        QEvent change(QEvent::FontChange);
        QLineEdit::changeEvent(&change);
    }
    bool m_fontPending = false;
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
    return declareClass<C>("TLabel", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Caption", &C::caption, &C::setCaption),
            valueProperty("WordWrap", &C::wordWrap, &C::setWordWrap),
            valueProperty("AutoSize", &C::autoSize, &C::setAutoSize),
            valueProperty("FocusControl", &C::focusControl, &C::setFocusControl),
        };
    });
}

QLabel* TLabel::label() const { return static_cast<QLabel*>(widget()); }

void TLabel::setCaption(const std::string& value) {
    m_caption = value;
    // A caption keeps its carriage returns; on screen each CR LF (or lone CR) breaks the line.
    QString shown = qs(value);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label()->setText(shown);
    fitToText();
}

TControl* TLabel::focusControl() const {
    return m_focusControl == 0 ? nullptr
                               : dynamic_cast<TControl*>(Component::fromHandle(m_focusControl));
}

// Qt names a control by the label whose buddy it is.
void TLabel::setFocusControl(TControl* control) {
    m_focusControl = control != nullptr ? control->handle() : 0;
    label()->setBuddy(control != nullptr ? control->widget() : nullptr);
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

// The memo's paragraphs: a put replaces the text of one block only. An empty document
// has no lines.
class TMemo::Paragraphs : public TStrings {
public:
    explicit Paragraphs(const TMemo& memo) : m_memo(memo) {}

    int count() const override { return document()->isEmpty() ? 0 : document()->blockCount(); }
    std::string get(int index) const override {
        checkIndex(index);
        return block(index).text().toStdString();
    }
    void put(int index, const std::string& text) override {
        checkIndex(index);
        QTextCursor cursor(block(index));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(qs(text));
    }
    void insert(int index, const std::string& text) override {
        checkIndex(index, true);
        if (count() == 0) return m_memo.editor()->setPlainText(qs(text));
        if (index == count()) {
            QTextCursor cursor(document());
            cursor.movePosition(QTextCursor::End);
            return cursor.insertText(QLatin1Char('\n') + qs(text));
        }
        QTextCursor(block(index)).insertText(qs(text) + QLatin1Char('\n'));
    }
    void remove(int index) override {
        checkIndex(index);
        if (count() == 1) return m_memo.editor()->clear();
        // The separator that goes is the one after the line, or before the last line.
        QTextCursor cursor(block(index));
        if (index == count() - 1) {
            cursor.movePosition(QTextCursor::PreviousBlock);
            cursor.movePosition(QTextCursor::EndOfBlock);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        } else {
            cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
    }
    void clear() override { m_memo.editor()->clear(); }
    void assign(const StringList& rows) override {
        QStringList lines;
        for (const std::string& line : rows) lines << qs(line);
        m_memo.editor()->setPlainText(lines.join(QLatin1Char('\n')));
    }

protected:
    void setUpdateState(bool updating) override { m_memo.editor()->setUpdatesEnabled(!updating); }

private:
    QTextDocument* document() const { return m_memo.editor()->document(); }
    QTextBlock block(int index) const { return document()->findBlockByNumber(index); }
    const TMemo& m_memo;
};

TMemo::TMemo(Component* owner) : TControl(owner), m_lines(std::make_unique<Paragraphs>(*this)) {
    auto* e = new QPlainTextEdit;
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The text starts at the edge, as in a plain edit box.
    e->document()->setDocumentMargin(0);
    setWidget(e);
    setScrollBars(m_scrollBars);
}

const ClassInfo& TMemo::staticClassInfo() {
    using C = TMemo;
    return declareClass<C>("TMemo", [] {
        return std::vector<PropertyInfo>{
            objectProperty("Lines", static_cast<TStrings& (C::*)()>(&C::Lines)),
            valueProperty("ReadOnly", &C::readOnly, &C::setReadOnly),
            valueProperty("BorderStyle", &C::borderStyle, &C::setBorderStyle),
            valueProperty("ScrollBars", &C::scrollBars, &C::setScrollBars),
        };
    });
}

void TMemo::applyFont() {
    TControl::applyFont();
    // Qt sets text by the faces' outline widths, a little wider than the whole-pixel widths
    // the pages were designed with; a slightly tighter tracking keeps each designed line
    // on its row. Only the spacing is set here: the rest still follows the font.
    QFont tracking = parentFont() ? QFont() : widget()->font();
    tracking.setLetterSpacing(QFont::AbsoluteSpacing, kTracking);
    widget()->setFont(tracking);
}

void TMemo::setScrollBars(TScrollStyle value) {
    const bool horizontal = value == TScrollStyle::ssHorizontal || value == TScrollStyle::ssBoth;
    const bool vertical = value == TScrollStyle::ssVertical || value == TScrollStyle::ssBoth;
    m_scrollBars = value;
    editor()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff);
    editor()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // A horizontal scroll bar means long lines are not wrapped.
    editor()->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
}

QPlainTextEdit* TMemo::editor() const { return static_cast<QPlainTextEdit*>(widget()); }

TMemo::~TMemo() = default;

bool TMemo::readOnly() const { return editor()->isReadOnly(); }
// A read-only text keeps a caret that the keys move, so that its focus shows and a reader's
// user can go through it line by line.
void TMemo::setReadOnly(bool value) {
    editor()->setReadOnly(value);
    if (value)
        editor()->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TMemo::setBorderStyle(TBorderStyle value) {
    m_borderStyle = value;
    editor()->setFrameShape(value == TBorderStyle::bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

TEdit::TEdit(Component* owner) : TControl(owner) {
    auto* e = new EditBox;
    setWidget(e);
    e->installEventFilter(new ClickFilter(OnClick, this, e));
    QObject::connect(e, &QLineEdit::textChanged, [this] { raiseEvent(OnChange, this); });
}

const ClassInfo& TEdit::staticClassInfo() {
    using C = TEdit;
    return declareClass<C>("TEdit", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Text", &C::text, &C::setText),
            eventProperty("OnClick", &C::OnClick),
            eventProperty("OnChange", &C::OnChange),
        };
    });
}

QLineEdit* TEdit::lineEdit() const { return static_cast<QLineEdit*>(widget()); }
std::string TEdit::text() const {
    return keptBytes(m_setText, lineEdit()->text().toStdU16String());
}

void TEdit::setText(const std::string& value) {
    m_setText = value;
    lineEdit()->setText(QString::fromStdU16String(shownText(value)));
}

// The drop-down rows. Qt moves the edit text to a row when rows come or go; the typed
// text is put back, and no change event is raised for it.
class TComboBox::Rows : public TStrings {
public:
    explicit Rows(TComboBox& box) : m_box(box) {}

    int count() const override { return combo()->count(); }
    std::string get(int index) const override {
        checkIndex(index);
        return combo()->itemText(index).toStdString();
    }
    // A text that showed the row follows its new text.
    void put(int index, const std::string& text) override {
        checkIndex(index);
        const bool shown = combo()->currentText() == combo()->itemText(index);
        keepText(shown ? qs(text) : combo()->currentText(),
                 [&] { combo()->setItemText(index, qs(text)); });
    }
    void insert(int index, const std::string& text) override {
        checkIndex(index, true);
        keepText(combo()->currentText(), [&] { combo()->insertItem(index, qs(text)); });
    }
    void remove(int index) override {
        checkIndex(index);
        keepText(combo()->currentText(), [&] { combo()->removeItem(index); });
    }
    void clear() override {
        keepText(combo()->currentText(), [&] { combo()->clear(); });
    }

private:
    QComboBox* combo() const { return m_box.comboBox(); }
    template <class F>
    void keepText(const QString& text, F change) {
        const bool wasSetting = m_box.m_settingInCode;
        m_box.m_settingInCode = true;
        change();
        if (combo()->currentText() != text) combo()->setEditText(text);
        m_box.m_settingInCode = wasSetting;
    }
    TComboBox& m_box;
};

TComboBox::TComboBox(Component* owner) : TControl(owner), m_items(std::make_unique<Rows>(*this)) {
    auto* c = new QComboBox;
    // Sized before it turns editable: a box never sized works out its size from its contents
    // there, which costs time at the program's start and which its bounds replace anyway.
    c->resize(c->size());
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    // The typed text is what counts: nothing is completed inline.
    c->setCompleter(nullptr);
    c->setItemDelegate(new RowHeightDelegate(m_itemHeight, c));
    setWidget(c);
    QObject::connect(c, &QComboBox::editTextChanged, [this] {
        if (!m_settingInCode) raiseEvent(OnChange, this);
    });
}

const ClassInfo& TComboBox::staticClassInfo() {
    using C = TComboBox;
    return declareClass<C>("TComboBox", [] {
        return std::vector<PropertyInfo>{
            valueProperty("ItemHeight", &C::itemHeight, &C::setItemHeight),
            objectProperty("Items", static_cast<TStrings& (C::*)()>(&C::Items)),
            valueProperty("Text", &C::text, &C::setText),
            valueProperty("ItemIndex", &C::itemIndex, &C::setItemIndex),
            eventProperty("OnChange", &C::OnChange),
        };
    });
}

QComboBox* TComboBox::comboBox() const { return static_cast<QComboBox*>(widget()); }

std::string TComboBox::text() const { return comboBox()->currentText().toStdString(); }

void TComboBox::setText(const std::string& value) {
    m_settingInCode = true;
    comboBox()->setEditText(qs(value));
    m_settingInCode = false;
}

TComboBox::~TComboBox() = default;

int TComboBox::itemIndex() const {
    const int index =
        comboBox()->findText(comboBox()->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    return index;
}

void TComboBox::setItemIndex(int value) {
    if (value < -1 || value >= comboBox()->count())
        throw EPropertyError("List index out of bounds");
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
