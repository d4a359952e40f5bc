#include "message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace framework {

namespace {

QString title() { return QApplication::applicationDisplayName(); }

}  // namespace

void WindowMessageBoxes::showMessage(const std::string& text) {
    QMessageBox::information(QApplication::activeWindow(), title(), QString::fromStdString(text));
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
