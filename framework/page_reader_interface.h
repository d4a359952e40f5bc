#pragma once
// What screen readers learn of a page (AT-SPI, through Qt's accessibility bridge): a frame
// named by its caption, a dialog while it runs modally, holding its controls except those
// that only decorate (pictures). The controls' own names and descriptions follow their
// captions and hints, so they follow the page's active language.

#include <QAccessibleWidget>
#include <vector>

namespace framework {

class PageReaderInterface : public QAccessibleWidget {
public:
    explicit PageReaderInterface(QWidget* window);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    std::vector<QWidget*> readableChildren() const;
};

// Makes Qt describe every page with the interface above; the application object calls it.
void installPageReaderInterfaces();

}  // namespace framework
