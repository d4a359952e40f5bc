#include "background_picture.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>
#include <algorithm>

#include "framework/form.h"
#include "framework/picture.h"

namespace elastic {

namespace {

// Each tile starts one pixel before the end of the previous one, until one reaches the end.
std::vector<int> tileStarts(int tile, int extent) {
    std::vector<int> starts;
    if (extent <= 0) return starts;
    const int step = std::max(1, tile - 1);
    starts.push_back(0);
    for (int at = 0; at + tile < extent;) {
        at += step;
        starts.push_back(at);
    }
    return starts;
}

}  // namespace

std::vector<Point> tileOrigins(Size picture, Size client) {
    std::vector<Point> origins;
    if (picture.width <= 0 || picture.height <= 0) return origins;
    const std::vector<int> columns = tileStarts(picture.width, client.width);
    for (int y : tileStarts(picture.height, client.height)) {
        for (int x : columns) origins.push_back({x, y});
    }
    return origins;
}

void paintBackground(framework::TForm& form, const framework::TImage& image) {
    QWidget* window = form.widget();
    QPixmap background(window->size());
    background.fill(QPalette().color(QPalette::Window));  // under transparent pixels
    QPainter painter(&background);
    const QImage& picture = image.picture();
    if (image.align() == framework::Align::Client) {
        painter.drawImage(QRect(0, 0, form.width(), form.height()), picture);
    } else {
        for (Point p : tileOrigins({picture.width(), picture.height()},
                                   {window->width(), window->height()})) {
            painter.drawImage(p.x, p.y, picture);
        }
    }
    painter.end();
    QPalette palette = window->palette();
    palette.setBrush(QPalette::Window, QBrush(background));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

}  // namespace elastic
