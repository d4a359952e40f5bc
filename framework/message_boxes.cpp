#include "message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "application.h"

namespace framework {

namespace {

QString title() { return QString::fromStdString(Application::instance().title()); }

}  // namespace

void WindowMessageBoxes::showMessage(const std::string& text) {
    // A plain notice: no icon.
    QMessageBox box(QMessageBox::NoIcon, title(), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool WindowMessageBoxes::askYesNo(const std::string& text) {
    return QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Information"),
                                    QString::fromStdString(text),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void WindowMessageBoxes::showError(const std::string& text) {
    QMessageBox::critical(QApplication::activeWindow(), title(), QString::fromStdString(text));
}

}  // namespace framework
