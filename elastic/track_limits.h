#pragma once
// The size limits of a page: maximized size and position, smallest and largest size the
// user can drag to, resolved against the screen.

#include "elastic_settings.h"
#include "scaling_interfaces.h"

namespace elastic {

// The window system's limits record; a field left 0 keeps the system's own value.
struct MinMaxInfo {
    Size maxSize;
    int maxPositionX = 0;
    int maxPositionY = 0;
    Size minTrackSize;
    Size maxTrackSize;
    bool operator==(const MinMaxInfo&) const = default;
};

// A limit in pixels: positive values as they are, -p as RoundEven(p x extent / 100), 0 as 0.
int resolveLimit(int value, int screenExtent);

// With MaintainProportions set: the largest size (and, on a screen-centred page, the
// maximized position) that keeps the proportions of the scaled size w x h on the screen.
// Changes MaximumTrackWidth or MaximumTrackHeight and MaximizedPosX or MaximizedPosY, and
// the matching side of maximizedSize.
void maintainProportionLimits(ElasticSettings& settings, Size scaled, const Screen& screen,
                              bool screenCentred, Size& maximizedSize);

// Fills the record from the maximized size and the six limit properties; leaves it as it
// is when they are all 0.
void applyLimits(const ElasticSettings& settings, Size maximizedSize, const Screen& screen,
                 MinMaxInfo& info);

}  // namespace elastic
