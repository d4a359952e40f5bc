#pragma once
// The published values of the elastic component that the scaling, the limits and the
// persistence work with (the component's properties read and write them).

#include <string>

namespace elastic {

struct ElasticSettings {
    bool ElasticHorizontal = true;
    bool ElasticVertical = true;
    bool ElasticFont = true;
    int DesignScreenWidth = 0;
    int DesignScreenHeight = 0;
    int DesignPixelsPerInch = 96;
    // Limits: 0 none, positive pixels, negative -p for p percent of the screen's extent.
    int MaximizedPosX = 0;
    int MaximizedPosY = 0;
    int MinimumTrackWidth = 0;
    int MinimumTrackHeight = 0;
    int MaximumTrackWidth = 0;
    int MaximumTrackHeight = 0;
    int DesignFormWidth = 0;
    int DesignFormHeight = 0;
    int DesignFormClientWidth = 0;
    int DesignFormClientHeight = 0;
    int DesignFormLeft = 0;
    int DesignFormTop = 0;
    bool MaintainProportions = false;
    bool DBGridSelfResize = false;
    std::string ElFrmIniFile;
};

}  // namespace elastic
