#pragma once
// The keys a page answers when its focused control leaves them: Enter presses the page's
// default button, Escape its cancel button (TButton's Default and Cancel); the button Enter
// presses is drawn as the default one. Shift+F10 opens the focused control's context menu,
// as the menu key does. The focus is drawn from the moment the page is active.

#include <QObject>

class QWidget;

namespace framework {

class FormKeys : public QObject {
public:
    // Watches the page's window; owned by it.
    explicit FormKeys(QWidget* window);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Presses the page's default (or cancel) button; false when it has none to press.
    bool pressButton(bool isDefault) const;
    // The focused push button takes Enter, else the page's default button: it is drawn so.
    void showDefaultFor(const QWidget* focused) const;
    static void openFocusedContextMenu();
    // Draws the focus on every control from the page's activation on, not only after a Tab.
    void showFocus() const;

    QWidget* m_window;
};

}  // namespace framework
