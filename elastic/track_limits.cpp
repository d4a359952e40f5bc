#include "track_limits.h"

#include "rounding.h"

namespace elastic {

namespace {

void setIfResolved(int& field, int value, int screenExtent) {
    if (value != 0) field = resolveLimit(value, screenExtent);
}

}  // namespace

int resolveLimit(int value, int screenExtent) {
    if (value >= 0) return value;
    const double percent = -static_cast<double>(value);
    return RoundEven(percent * screenExtent / 100.0);
}

void maintainProportionLimits(ElasticSettings& settings, Size scaled, const Screen& screen,
                              bool screenCentred, Size& maximizedSize) {
    if (scaled.width <= 0 || scaled.height <= 0 || screen.width <= 0 || screen.height <= 0) return;
    const double formRatio = static_cast<double>(scaled.width) / scaled.height;
    const double screenRatio = static_cast<double>(screen.width) / screen.height;
    if (formRatio > screenRatio) {
        settings.MaximumTrackHeight =
            RoundEven(static_cast<double>(screen.width) * scaled.height / scaled.width);
        maximizedSize.height = settings.MaximumTrackHeight;
        if (screenCentred)
            settings.MaximizedPosY = (screen.height - settings.MaximumTrackHeight) / 2;
    } else {
        settings.MaximumTrackWidth =
            RoundEven(static_cast<double>(screen.height) * scaled.width / scaled.height);
        maximizedSize.width = settings.MaximumTrackWidth;
        if (screenCentred) settings.MaximizedPosX = (screen.width - settings.MaximumTrackWidth) / 2;
    }
}

void applyLimits(const ElasticSettings& s, Size maximizedSize, const Screen& screen,
                 MinMaxInfo& info) {
    // Any one limit set is enough (a sum of the values could cancel out to 0).
    const bool anySet = maximizedSize.width != 0 || maximizedSize.height != 0 ||
                        s.MaximizedPosX != 0 || s.MaximizedPosY != 0 || s.MinimumTrackWidth != 0 ||
                        s.MinimumTrackHeight != 0 || s.MaximumTrackWidth != 0 ||
                        s.MaximumTrackHeight != 0;
    if (!anySet) return;
    if (maximizedSize.width != 0) info.maxSize.width = maximizedSize.width;
    if (maximizedSize.height != 0) info.maxSize.height = maximizedSize.height;
    setIfResolved(info.maxPositionX, s.MaximizedPosX, screen.width);
    setIfResolved(info.maxPositionY, s.MaximizedPosY, screen.height);
    setIfResolved(info.minTrackSize.width, s.MinimumTrackWidth, screen.width);
    setIfResolved(info.minTrackSize.height, s.MinimumTrackHeight, screen.height);
    setIfResolved(info.maxTrackSize.width, s.MaximumTrackWidth, screen.width);
    setIfResolved(info.maxTrackSize.height, s.MaximumTrackHeight, screen.height);
}

}  // namespace elastic
