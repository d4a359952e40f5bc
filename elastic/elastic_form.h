#pragma once
// The elastic-form component: dropped on a page, it adapts the page to the screen after
// the page's creation handler ran, holds the page at its scaled bounds until it has been
// shown and activated, and lays every control out again whenever the page's size changes
// (a drag of the border is laid out once, when it ends). It also limits the page's size,
// paints a background picture and keeps the page's placement in its persistence file.
//
// The window manager drags a border without telling the program where the drag begins or
// ends: a burst of size changes from the window manager, with no new one for
// kDragSettleMs, stands for one drag.

#include <QPointer>
#include <memory>
#include <stdexcept>

#include "elastic/elastic_settings.h"
#include "framework/control.h"
#include "framework/form.h"
#include "framework/form_messages.h"

class QTimer;

namespace framework {
class TImage;
}

namespace elastic {

class FormAdapter;
class FormScaler;

// Raised when the component cannot sit on its owner; it ends the reading of the page.
class EElasticForm : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TElasticForm : public framework::Component {
    FRAMEWORK_CLASS(framework::Component)

    static constexpr int kDragSettleMs = 200;

    explicit TElasticForm(framework::Component* owner);
    ~TElasticForm() override;

    void Loaded() override;

    bool ElasticHorizontal() const { return settings().ElasticHorizontal; }
    void SetElasticHorizontal(bool value) { settings().ElasticHorizontal = value; }
    bool ElasticVertical() const { return settings().ElasticVertical; }
    void SetElasticVertical(bool value) { settings().ElasticVertical = value; }
    bool ElasticFont() const { return settings().ElasticFont; }
    void SetElasticFont(bool value) { settings().ElasticFont = value; }
    int DesignScreenWidth() const { return settings().DesignScreenWidth; }
    void SetDesignScreenWidth(int value) { settings().DesignScreenWidth = value; }
    int DesignScreenHeight() const { return settings().DesignScreenHeight; }
    void SetDesignScreenHeight(int value) { settings().DesignScreenHeight = value; }
    int DesignPixelsPerInch() const { return settings().DesignPixelsPerInch; }
    void SetDesignPixelsPerInch(int value) { settings().DesignPixelsPerInch = value; }
    int MaximizedPosX() const { return settings().MaximizedPosX; }
    void SetMaximizedPosX(int value) { settings().MaximizedPosX = value; }
    int MaximizedPosY() const { return settings().MaximizedPosY; }
    void SetMaximizedPosY(int value) { settings().MaximizedPosY = value; }
    int MinimumTrackWidth() const { return settings().MinimumTrackWidth; }
    void SetMinimumTrackWidth(int value) { settings().MinimumTrackWidth = value; }
    int MinimumTrackHeight() const { return settings().MinimumTrackHeight; }
    void SetMinimumTrackHeight(int value) { settings().MinimumTrackHeight = value; }
    int MaximumTrackWidth() const { return settings().MaximumTrackWidth; }
    void SetMaximumTrackWidth(int value) { settings().MaximumTrackWidth = value; }
    int MaximumTrackHeight() const { return settings().MaximumTrackHeight; }
    void SetMaximumTrackHeight(int value) { settings().MaximumTrackHeight = value; }
    int DesignFormWidth() const { return settings().DesignFormWidth; }
    void SetDesignFormWidth(int value) { settings().DesignFormWidth = value; }
    int DesignFormHeight() const { return settings().DesignFormHeight; }
    void SetDesignFormHeight(int value) { settings().DesignFormHeight = value; }
    int DesignFormClientWidth() const { return settings().DesignFormClientWidth; }
    void SetDesignFormClientWidth(int value) { settings().DesignFormClientWidth = value; }
    int DesignFormClientHeight() const { return settings().DesignFormClientHeight; }
    void SetDesignFormClientHeight(int value) { settings().DesignFormClientHeight = value; }
    int DesignFormLeft() const { return settings().DesignFormLeft; }
    void SetDesignFormLeft(int value) { settings().DesignFormLeft = value; }
    int DesignFormTop() const { return settings().DesignFormTop; }
    void SetDesignFormTop(int value) { settings().DesignFormTop = value; }
    bool MaintainProportions() const { return settings().MaintainProportions; }
    void SetMaintainProportions(bool value) { settings().MaintainProportions = value; }

    // The font the page's font follows; setting it copies it into the page's font.
    framework::TFont& Font() { return m_font; }
    const framework::TFont& Font() const { return m_font; }

    // The name of the image control whose picture is the page's background; that control
    // itself is hidden. Empty for none.
    const std::string& BkGrndImage() const { return m_backgroundName; }
    void SetBkGrndImage(const std::string& value);
    bool DBGridSelfResize() const { return settings().DBGridSelfResize; }
    void SetDBGridSelfResize(bool value) { settings().DBGridSelfResize = value; }
    const std::string& ElFrmIniFile() const { return settings().ElFrmIniFile; }
    void SetElFrmIniFile(const std::string& value) { settings().ElFrmIniFile = value; }
    // Always reads 3.05, whatever is assigned.
    double Version() const { return 3.05; }
    void SetVersion(double /*value*/) {}

    // The maximized flag that every elastic form of the program shares.
    static bool sharedMaximized();
    const FormScaler& scaler() const { return *m_scaler; }

private:
    ElasticSettings& settings();
    const ElasticSettings& settings() const;
    void handleMessage(const framework::FormMessage& message);
    void adapt();
    void shown();
    void positionChanged();
    void resized(const framework::FormMessage& message);
    void windowStateChanged(const framework::FormMessage& message);
    void dragResize();
    void dragEnded();
    void cancelDrag();
    void rescaleNow();
    void afterRescale();
    void giveScaledBounds();
    void applySizeLimits();
    void paintBackgroundPicture();
    void savePersistenceFile();
    void syncFormFont();
    void fontChanged();
    void resolveBackground();
    void startDesigning();
    void recordDesignBounds();

    framework::TForm* m_form;
    std::unique_ptr<FormAdapter> m_adapter;
    std::unique_ptr<FormScaler> m_scaler;
    framework::MessageHookHandle m_hook;
    framework::TFont m_font;
    bool m_syncingFont = false;
    std::string m_backgroundName;
    framework::TImage* m_background = nullptr;
    std::unique_ptr<QTimer> m_dragTimer;
    std::unique_ptr<QTimer> m_designTimer;
    bool m_beforeFirstShow = true;
    bool m_activated = false;
    bool m_sizingReleased = false;
    bool m_sizeChangedDuringDrag = false;
    framework::SizeKind m_lastSizeKind = framework::SizeKind::Restored;
    int m_lastWidth = 0;
    int m_lastHeight = 0;
};

}  // namespace elastic
