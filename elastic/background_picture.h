#pragma once
// A picture painted as a page's background: stretched over the page when its image
// control is aligned to the client area, else tiled with neighbouring tiles overlapping
// by one pixel.

#include <vector>

#include "elastic/scaling_interfaces.h"

namespace framework {
class TForm;
class TImage;
}  // namespace framework

namespace elastic {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// The top-left corners of the tiles, row by row, until the client area is covered.
std::vector<Point> tileOrigins(Size picture, Size client);

// Makes the picture of image the background of the page's client area.
void paintBackground(framework::TForm& form, const framework::TImage& image);

}  // namespace elastic
