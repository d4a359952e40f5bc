#include "buttons.h"

#include <QBitmap>
#include <QCheckBox>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "picture.h"

namespace framework {

const ClassInfo& TButtonControl::staticClassInfo() {
    using C = TButtonControl;
    static const ClassInfo info("TButtonControl", &TControl::staticClassInfo(),
                                {
                                    valueProperty<C, std::string>("Caption", PropertyKind::String,
                                                                  &C::caption, &C::setCaption),
                                    eventProperty<C>("OnClick", &C::OnClick),
                                });
    return info;
}

QAbstractButton* TButtonControl::button() const { return static_cast<QAbstractButton*>(widget()); }

std::string TButtonControl::caption() const { return button()->text().toStdString(); }

void TButtonControl::setCaption(const std::string& value) {
    button()->setText(QString::fromStdString(value));
}

void TButtonControl::Click() {
    if (button()->isEnabled()) button()->click();
}

void TButtonControl::connectClicked() {
    QObject::connect(button(), &QAbstractButton::clicked, [this] { raiseEvent(OnClick, this); });
}

TButton::TButton(Component* owner) : TButtonControl(owner) {
    auto* b = new QPushButton;
    b->setAutoDefault(false);
    setWidget(b);
    connectClicked();
}

const ClassInfo& TButton::staticClassInfo() {
    static const ClassInfo info("TButton", &TButtonControl::staticClassInfo(), {});
    return info;
}

TBitBtn::TBitBtn(Component* owner) : TButtonControl(owner) {
    auto* b = new QPushButton;
    b->setAutoDefault(false);
    setWidget(b);
    connectClicked();
}

const ClassInfo& TBitBtn::staticClassInfo() {
    using C = TBitBtn;
    static const ClassInfo info(
        "TBitBtn", &TButtonControl::staticClassInfo(),
        {
            valueProperty<C, Bytes>("Glyph.Data", PropertyKind::Binary, &C::glyphData,
                                    &C::setGlyphData),
            integerProperty<C>("NumGlyphs", &C::numGlyphs, &C::setNumGlyphs),
        });
    return info;
}

void TBitBtn::setGlyphData(const Bytes& value) {
    m_glyph = decodeBitmap(value);
    m_glyphData = value;
    applyGlyph();
}

void TBitBtn::setNumGlyphs(int value) {
    if (value < 1 || value > 4) throw EPropertyError("NumGlyphs must lie between 1 and 4");
    m_numGlyphs = value;
    applyGlyph();
}

void TBitBtn::applyGlyph() {
    if (m_glyph.isNull()) return;
    const int w = m_glyph.width() / m_numGlyphs;
    const QColor transparent = m_glyph.pixelColor(0, m_glyph.height() - 1);
    auto picture = [&](int index) {
        QPixmap pixmap = QPixmap::fromImage(m_glyph.copy(index * w, 0, w, m_glyph.height()));
        pixmap.setMask(pixmap.createMaskFromColor(transparent, Qt::MaskInColor));
        return pixmap;
    };
    QIcon icon(picture(0));
    if (m_numGlyphs > 1) icon.addPixmap(picture(1), QIcon::Disabled);
    button()->setIcon(icon);
    button()->setIconSize(QSize(w, m_glyph.height()));
}

TRadioButton::TRadioButton(Component* owner) : TButtonControl(owner) {
    auto* b = new QRadioButton;
    setWidget(b);
    // A radio button's click event follows its becoming checked, by the user or in code.
    QObject::connect(b, &QRadioButton::toggled, [this](bool on) {
        if (on) raiseEvent(OnClick, this);
    });
}

const ClassInfo& TRadioButton::staticClassInfo() {
    using C = TRadioButton;
    static const ClassInfo info("TRadioButton", &TButtonControl::staticClassInfo(),
                                {booleanProperty<C>("Checked", &C::checked, &C::setChecked)});
    return info;
}

bool TRadioButton::checked() const { return button()->isChecked(); }
void TRadioButton::setChecked(bool value) { button()->setChecked(value); }

TCheckBox::TCheckBox(Component* owner) : TButtonControl(owner) {
    setWidget(new QCheckBox);
    connectClicked();
}

const ClassInfo& TCheckBox::staticClassInfo() {
    using C = TCheckBox;
    static const ClassInfo info("TCheckBox", &TButtonControl::staticClassInfo(),
                                {booleanProperty<C>("Checked", &C::checked, &C::setChecked)});
    return info;
}

bool TCheckBox::checked() const { return button()->isChecked(); }
void TCheckBox::setChecked(bool value) { button()->setChecked(value); }

}  // namespace framework
