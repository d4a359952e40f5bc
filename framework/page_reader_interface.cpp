#include "page_reader_interface.h"

#include <algorithm>

#include "form.h"

namespace framework {

namespace {

QAccessibleInterface* pageInterface(const QString& className, QObject* object) {
    if (className != QLatin1String("QWidget") || TForm::ofWindow(object) == nullptr) return nullptr;
    return new PageReaderInterface(static_cast<QWidget*>(object));
}

}  // namespace

PageReaderInterface::PageReaderInterface(QWidget* window)
    : QAccessibleWidget(window, QAccessible::Window) {}

QAccessible::Role PageReaderInterface::role() const {
    const TForm* form = TForm::ofWindow(widget());
    return form != nullptr && form->isModal() ? QAccessible::Dialog : QAccessible::Window;
}

QAccessible::State PageReaderInterface::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    const TForm* form = TForm::ofWindow(widget());
    state.modal = form != nullptr && form->isModal();
    return state;
}

// Asked again each time: the page may be on its way out (then it holds nothing).
std::vector<QWidget*> PageReaderInterface::readableChildren() const {
    std::vector<QWidget*> children;
    const TForm* form = TForm::ofWindow(widget());
    if (form == nullptr) return children;
    for (const TControl* control : form->childControls()) {
        if (control->widget() != nullptr && control->shownToReaders())
            children.push_back(control->widget());
    }
    return children;
}

int PageReaderInterface::childCount() const { return static_cast<int>(readableChildren().size()); }

QAccessibleInterface* PageReaderInterface::child(int index) const {
    const std::vector<QWidget*> children = readableChildren();
    if (index < 0 || index >= static_cast<int>(children.size())) return nullptr;
    return QAccessible::queryAccessibleInterface(children[static_cast<std::size_t>(index)]);
}

int PageReaderInterface::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) return -1;
    const std::vector<QWidget*> children = readableChildren();
    const auto found = std::find(children.begin(), children.end(), child->object());
    return found == children.end() ? -1 : static_cast<int>(found - children.begin());
}

void installPageReaderInterfaces() { QAccessible::installFactory(pageInterface); }

}  // namespace framework
