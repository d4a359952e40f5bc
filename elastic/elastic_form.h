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

#include "base/errors.h"
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
class EElasticForm : public base::Exception {
public:
    using Exception::Exception;
};

class TElasticForm : public framework::Component {
    FRAMEWORK_CLASS(framework::Component)

    static constexpr int kDragSettleMs = 200;

    explicit TElasticForm(framework::Component* owner);
    ~TElasticForm() override;

    void Loaded() override;

    // The published values (ElasticHorizontal ... MaintainProportions, DBGridSelfResize,
    // ElFrmIniFile), each published by its field's name.
    ElasticSettings& settings();
    const ElasticSettings& settings() const;

    // The font the page's font follows; setting it copies it into the page's font.
    framework::TFont& Font() { return m_font; }
    const framework::TFont& Font() const { return m_font; }

    // The name of the image control whose picture is the page's background; that control
    // itself is hidden. Empty for none.
    const std::string& BkGrndImage() const { return m_backgroundName; }
    void setBkGrndImage(const std::string& value);
    // Always reads 3.05, whatever is assigned.
    double Version() const { return 3.05; }
    void setVersion(double /*value*/) {}

    // The maximized flag that every elastic form of the program shares.
    static bool sharedMaximized();
    const FormScaler& scaler() const { return *m_scaler; }

private:
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
