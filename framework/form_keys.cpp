#include "form_keys.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>
#include <algorithm>
#include <initializer_list>

#include "buttons.h"
#include "form.h"

namespace framework {

namespace {

// One of the keys, with no modifier but the keypad's.
bool isPlainKey(const QKeyEvent& key, std::initializer_list<int> keys) {
    const Qt::KeyboardModifiers others = key.modifiers() & ~Qt::KeypadModifier;
    return others == Qt::NoModifier && std::find(keys.begin(), keys.end(), key.key()) != keys.end();
}

}  // namespace

FormKeys::FormKeys(QWidget* window) : QObject(window), m_window(window) {
    window->installEventFilter(this);
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), window);
    menuKey->setContext(Qt::WindowShortcut);
    QObject::connect(menuKey, &QShortcut::activated, menuKey, [] { openFocusedContextMenu(); });
    QObject::connect(qApp, &QApplication::focusChanged, this,
                     [this](QWidget*, QWidget* now) { showDefaultFor(now); });
}

// Key presses reach the window when the focused control did not take them.
bool FormKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::WindowActivate) showFocus();
    if (watched != m_window || event->type() != QEvent::KeyPress) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (isPlainKey(key, {Qt::Key_Return, Qt::Key_Enter})) return pressButton(true);
    if (isPlainKey(key, {Qt::Key_Escape})) return pressButton(false);
    return false;
}

bool FormKeys::pressButton(bool isDefault) const {
    const TForm* form = TForm::ofWindow(m_window);
    if (form == nullptr) return false;
    for (int i = 0; i < form->componentCount(); ++i) {
        auto* button = dynamic_cast<TButton*>(form->component(i));
        if (button == nullptr || !button->visible()) continue;
        if (isDefault ? button->isDefault() : button->cancel()) {
            button->Click();
            return true;
        }
    }
    return false;
}

// The focus shows from the start: a page is reached by a key as often as by a click.
void FormKeys::showFocus() const {
    m_window->setAttribute(Qt::WA_KeyboardFocusChange);
    if (QWidget* focused = m_window->focusWidget()) focused->update();
}

void FormKeys::showDefaultFor(const QWidget* focused) const {
    const TForm* form = TForm::ofWindow(m_window);
    if (form == nullptr || focused == nullptr || focused->window() != m_window) return;
    const bool onPushButton = qobject_cast<const QPushButton*>(focused) != nullptr;
    for (int i = 0; i < form->componentCount(); ++i) {
        auto* button = dynamic_cast<TButton*>(form->component(i));
        if (button != nullptr)
            button->showAsDefault(onPushButton ? button->widget() == focused : button->isDefault());
    }
}

// As the menu key does: a keyboard context-menu request to the focused control, at its
// centre (controls with a current item put the menu there themselves).
void FormKeys::openFocusedContextMenu() {
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr) return;
    const QPoint centre = focused->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, centre, focused->mapToGlobal(centre));
    QCoreApplication::sendEvent(focused, &request);
}

}  // namespace framework
