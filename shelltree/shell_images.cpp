#include "shell_images.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QStyle>

#include "framework/image_list.h"
#include "shell_namespace.h"

namespace shelltree {

namespace {

struct IconSource {
    ShellIcon index;
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

constexpr IconSource kIcons[] = {
    {iconFolder, "folder", QStyle::SP_DirClosedIcon},
    {iconFolderOpen, "folder-open", QStyle::SP_DirOpenIcon},
    {iconFile, "text-x-generic", QStyle::SP_FileIcon},
    {iconComputer, "computer", QStyle::SP_ComputerIcon},
    {iconFileSystem, "drive-harddisk", QStyle::SP_DriveHDIcon},
    {iconHome, "user-home", QStyle::SP_DirHomeIcon},
    {iconVolume, "drive-removable-media", QStyle::SP_DriveCDIcon},
    {iconDesktop, "user-desktop", QStyle::SP_DesktopIcon},
};

// Without a desktop session Qt knows no theme; the freedesktop default names one.
void chooseTheme() {
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != "hicolor") return;
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == "hicolor") {
        QIcon::setFallbackThemeName("Adwaita");
    }
}

QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback) {
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    return icon.isNull() ? QApplication::style()->standardIcon(fallback) : icon;
}

// A small arrow in the lower left corner, for a theme without a link emblem.
QPixmap drawnLinkEmblem(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int box = size / 2;
    painter.fillRect(0, size - box, box, box, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(0, size - box, box - 1, box - 1);
    painter.drawLine(2, size - 2, box - 2, size - box + 2);
    painter.drawLine(box - 2, size - box + 2, box - 5, size - box + 2);
    painter.drawLine(box - 2, size - box + 2, box - 2, size - box + 5);
    return pixmap;
}

QPixmap emblem(const char* name, int size) {
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (icon.isNull()) return drawnLinkEmblem(size);
    // Emblems cover the lower left quarter of the icon.
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.drawPixmap(0, size / 2, icon.pixmap(size / 2, size / 2));
    return pixmap;
}

}  // namespace

void fillShellImages(framework::TImageList& images) {
    chooseTheme();
    images.clear();
    for (const IconSource& source : kIcons)
        images.addIcon(themeIcon(source.themeName, source.fallback));
    images.setOverlay(images.add(emblem("emblem-shared", images.width())), 0);
    images.setOverlay(images.add(emblem("emblem-symbolic-link", images.width())), 1);
}

}  // namespace shelltree
