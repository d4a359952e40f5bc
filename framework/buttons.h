#pragma once
// Push buttons, picture buttons, radio buttons and check boxes.

#include "control.h"

class QAbstractButton;

namespace framework {

// Shared by every button kind: a caption and a click event.
class TButtonControl : public TControl {
    FRAMEWORK_CLASS(TControl)

    std::string caption() const;
    void setCaption(const std::string& value);
    // Presses the button as a user would (raises OnClick for an enabled button).
    void Click();

    NotifyEvent OnClick;

protected:
    explicit TButtonControl(Component* owner) : TControl(owner) {}
    QAbstractButton* button() const;
    void connectClicked();
    // A button without a caption (a picture alone) is named by its hint for screen readers.
    void applyHint() override;
};

// A push button; the focused one takes Enter. The page's Default button takes Enter when
// no push button has the focus, its Cancel button Escape.
class TButton : public TButtonControl {
    FRAMEWORK_CLASS(TButtonControl)

    explicit TButton(Component* owner);

    bool isDefault() const { return m_default; }
    void setDefault(bool value);
    bool cancel() const { return m_cancel; }
    void setCancel(bool value) { m_cancel = value; }
    // Draws the button as the one Enter presses (the page decides which one that is now).
    void showAsDefault(bool value);

private:
    bool m_default = false;
    bool m_cancel = false;
};

// A button with a glyph: a bitmap of one or more equal pictures side by side (normal,
// then disabled); its lower-left pixel's colour is transparent.
class TBitBtn : public TButtonControl {
    FRAMEWORK_CLASS(TButtonControl)

    explicit TBitBtn(Component* owner);

    TPicture& Glyph() { return m_glyph; }
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int value);

private:
    void applyGlyph();
    TPicture m_glyph;
    int m_numGlyphs = 1;
};

// Radio buttons with one parent form one group: checking one clears the others.
class TRadioButton : public TButtonControl {
    FRAMEWORK_CLASS(TButtonControl)

    explicit TRadioButton(Component* owner);

    bool checked() const;
    // Checking raises OnClick, as a click does.
    void setChecked(bool value);
};

class TCheckBox : public TButtonControl {
    FRAMEWORK_CLASS(TButtonControl)

    explicit TCheckBox(Component* owner);

    bool checked() const;
    void setChecked(bool value);
};

}  // namespace framework
