#pragma once
// Push buttons, picture buttons, radio buttons and check boxes.

#include <QImage>

#include "control.h"

class QAbstractButton;

namespace framework {

// Shared by every button kind: a caption and a click event.
class TButtonControl : public TControl {
public:
    explicit TButtonControl(Component* owner) : TControl(owner) {}
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    std::string caption() const;
    void setCaption(const std::string& value);
    // Presses the button as a user would (raises OnClick for an enabled button).
    void Click();

    NotifyEvent OnClick;

protected:
    QAbstractButton* button() const;
    void connectClicked();
};

class TButton : public TButtonControl {
public:
    explicit TButton(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }
};

// A button with a glyph: a bitmap of one or more equal pictures side by side (normal,
// then disabled); its lower-left pixel's colour is transparent.
class TBitBtn : public TButtonControl {
public:
    explicit TBitBtn(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    Bytes glyphData() const { return m_glyphData; }
    void setGlyphData(const Bytes& value);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int value);
    const QImage& glyph() const { return m_glyph; }

private:
    void applyGlyph();
    Bytes m_glyphData;
    QImage m_glyph;
    int m_numGlyphs = 1;
};

// Radio buttons with one parent form one group: checking one clears the others.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    bool checked() const;
    // Checking raises OnClick, as a click does.
    void setChecked(bool value);
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    bool checked() const;
    void setChecked(bool value);
};

}  // namespace framework
