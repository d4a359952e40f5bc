#pragma once
// Labels, multi-line text boxes, edit boxes and combo boxes.

#include <memory>

#include "control.h"
#include "strings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace framework {

class TLabel : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TLabel(Component* owner);

    std::string caption() const { return m_caption; }
    void setCaption(const std::string& value);
    bool wordWrap() const;
    void setWordWrap(bool value);
    // An auto-sized label takes the size of its text.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool value);
    // The control the label introduces: screen readers name that control by the caption.
    TControl* focusControl() const;
    void setFocusControl(TControl* control);

protected:
    void applyFont() override;

private:
    QLabel* label() const;
    void fitToText();
    std::string m_caption;
    std::uint32_t m_focusControl = 0;  // handle
    bool m_autoSize = true;
    bool m_fitPending = false;
};

// The scroll bars of a memo.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
template <>
struct EnumTable<TScrollStyle> {
    static constexpr std::string_view what = "scroll bars";
    static constexpr EnumName<TScrollStyle> names[] = {{TScrollStyle::ssNone, "ssNone"},
                                                       {TScrollStyle::ssHorizontal, "ssHorizontal"},
                                                       {TScrollStyle::ssVertical, "ssVertical"},
                                                       {TScrollStyle::ssBoth, "ssBoth"}};
};

// A multi-line text box; its lines are its paragraphs, a TStrings edited in place.
class TMemo : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TMemo(Component* owner);
    ~TMemo() override;

    TStrings& Lines() { return *m_lines; }
    const TStrings& Lines() const { return *m_lines; }
    bool readOnly() const;
    void setReadOnly(bool value);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle value);
    // No scroll bars at all unless the page stores some.
    TScrollStyle scrollBars() const { return m_scrollBars; }
    void setScrollBars(TScrollStyle value);
    QPlainTextEdit* editor() const;

protected:
    void applyFont() override;

private:
    static constexpr double kTracking = -0.15;  // pixels per character
    class Paragraphs;
    std::unique_ptr<TStrings> m_lines;  // the Paragraphs
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    TScrollStyle m_scrollBars = TScrollStyle::ssNone;
};

class TEdit : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TEdit(Component* owner);

    // The text as bytes: what was set keeps its bytes (also those that are not UTF-8, shown
    // as U+FFFD) wherever the user left it unchanged.
    std::string text() const;
    void setText(const std::string& value);
    QLineEdit* lineEdit() const;

    NotifyEvent OnClick;   // a mouse click into the box
    NotifyEvent OnChange;  // the text changed

private:
    std::string m_setText;  // the bytes last set
};

// An editable combo box with a drop-down list.
class TComboBox : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TComboBox(Component* owner);
    ~TComboBox() override;

    std::string text() const;
    void setText(const std::string& value);
    // The drop-down rows; changing them keeps the typed text (a text showing a row whose
    // text is put shows the new text) and raises no OnChange.
    TStrings& Items() { return *m_items; }
    const TStrings& Items() const { return *m_items; }
    int itemIndex() const;
    void setItemIndex(int value);
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int value);
    QComboBox* comboBox() const;

    // Raised when the user changes the text, by typing or by choosing a row.
    NotifyEvent OnChange;

private:
    class Rows;
    std::unique_ptr<TStrings> m_items;  // a Rows
    int m_itemHeight = 13;
    bool m_settingInCode = false;
};

}  // namespace framework
