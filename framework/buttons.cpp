#include "buttons.h"

#include <QBitmap>
#include <QCheckBox>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "reader_texts.h"

namespace framework {

const ClassInfo& TButtonControl::staticClassInfo() {
    using C = TButtonControl;
    return declareClass<C>("TButtonControl", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Caption", &C::caption, &C::setCaption),
            eventProperty("OnClick", &C::OnClick),
        };
    });
}

QAbstractButton* TButtonControl::button() const { return static_cast<QAbstractButton*>(widget()); }

std::string TButtonControl::caption() const { return button()->text().toStdString(); }

void TButtonControl::setCaption(const std::string& value) {
    button()->setText(QString::fromStdString(value));
    applyHint();
}

void TButtonControl::applyHint() {
    TControl::applyHint();
    const bool named = !button()->text().isEmpty();
    setReaderName(*button(), named ? QString() : QString::fromStdString(hint()));
}

void TButtonControl::Click() {
    if (button()->isEnabled()) button()->click();
}

void TButtonControl::connectClicked() {
    QObject::connect(button(), &QAbstractButton::clicked, [this] { raiseEvent(OnClick, this); });
}

TButton::TButton(Component* owner) : TButtonControl(owner) {
    auto* b = new QPushButton;
    b->setAutoDefault(true);
    setWidget(b);
    connectClicked();
}

const ClassInfo& TButton::staticClassInfo() {
    using C = TButton;
    return declareClass<C>("TButton", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Default", &C::isDefault, &C::setDefault),
            valueProperty("Cancel", &C::cancel, &C::setCancel),
        };
    });
}

void TButton::setDefault(bool value) {
    m_default = value;
    showAsDefault(value);
}

void TButton::showAsDefault(bool value) { static_cast<QPushButton*>(button())->setDefault(value); }

TBitBtn::TBitBtn(Component* owner) : TButtonControl(owner) {
    m_glyph.onChange = [this] { applyGlyph(); };
    auto* b = new QPushButton;
    b->setAutoDefault(true);
    setWidget(b);
    connectClicked();
}

const ClassInfo& TBitBtn::staticClassInfo() {
    using C = TBitBtn;
    return declareClass<C>("TBitBtn", [] {
        return std::vector<PropertyInfo>{
            objectProperty("Glyph", &C::Glyph),
            valueProperty("NumGlyphs", &C::numGlyphs, &C::setNumGlyphs),
        };
    });
}

void TBitBtn::setNumGlyphs(int value) {
    if (value < 1 || value > 4) throw EPropertyError("NumGlyphs must lie between 1 and 4");
    m_numGlyphs = value;
    applyGlyph();
}

void TBitBtn::applyGlyph() {
    if (m_glyph.empty()) return;
    const QImage& glyph = m_glyph.image();
    const int w = glyph.width() / m_numGlyphs;
    const QColor transparent = glyph.pixelColor(0, glyph.height() - 1);
    auto picture = [&](int index) {
        QPixmap pixmap = QPixmap::fromImage(glyph.copy(index * w, 0, w, glyph.height()));
        pixmap.setMask(pixmap.createMaskFromColor(transparent, Qt::MaskInColor));
        return pixmap;
    };
    QIcon icon(picture(0));
    if (m_numGlyphs > 1) icon.addPixmap(picture(1), QIcon::Disabled);
    button()->setIcon(icon);
    button()->setIconSize(QSize(w, glyph.height()));
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
    return declareClass<C>("TRadioButton", [] {
        return std::vector<PropertyInfo>{valueProperty("Checked", &C::checked, &C::setChecked)};
    });
}

bool TRadioButton::checked() const { return button()->isChecked(); }
void TRadioButton::setChecked(bool value) { button()->setChecked(value); }

TCheckBox::TCheckBox(Component* owner) : TButtonControl(owner) {
    setWidget(new QCheckBox);
    connectClicked();
}

const ClassInfo& TCheckBox::staticClassInfo() {
    using C = TCheckBox;
    return declareClass<C>("TCheckBox", [] {
        return std::vector<PropertyInfo>{valueProperty("Checked", &C::checked, &C::setChecked)};
    });
}

bool TCheckBox::checked() const { return button()->isChecked(); }
void TCheckBox::setChecked(bool value) { button()->setChecked(value); }

}  // namespace framework
