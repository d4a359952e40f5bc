#pragma once
// Labels, multi-line text boxes, edit boxes and combo boxes.

#include "control.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace framework {

class TLabel : public TControl {
public:
    explicit TLabel(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    std::string caption() const { return m_caption; }
    void setCaption(const std::string& value);
    bool wordWrap() const;
    void setWordWrap(bool value);
    // An auto-sized label takes the size of its text.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool value);

protected:
    void applyFont() override;

private:
    QLabel* label() const;
    void fitToText();
    std::string m_caption;
    bool m_autoSize = true;
    bool m_fitPending = false;
};

class TMemo : public TControl {
public:
    explicit TMemo(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    StringList lines() const;
    void setLines(const StringList& value);
    bool readOnly() const;
    void setReadOnly(bool value);
    std::string borderStyle() const { return m_borderStyle; }
    void setBorderStyle(const std::string& value);

private:
    QPlainTextEdit* editor() const;
    std::string m_borderStyle = "bsSingle";
};

class TEdit : public TControl {
public:
    explicit TEdit(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    std::string text() const;
    void setText(const std::string& value);
    QLineEdit* lineEdit() const;

    NotifyEvent OnClick;   // a mouse click into the box
    NotifyEvent OnChange;  // the text changed
};

// An editable combo box with a drop-down list.
class TComboBox : public TControl {
public:
    explicit TComboBox(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    std::string text() const;
    void setText(const std::string& value);
    StringList items() const;
    void setItems(const StringList& value);
    int itemIndex() const;
    void setItemIndex(int value);
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int value);
    QComboBox* comboBox() const;

    // Raised when the user changes the text, by typing or by choosing a row.
    NotifyEvent OnChange;

private:
    int m_itemHeight = 13;
    bool m_settingInCode = false;
};

}  // namespace framework
