#pragma once
// The scaling of a page, free of any window system: adapts the page once to the screen it
// runs on (from the screen it was designed on) and then lays every control out again in
// proportion to the client area whenever the page's size changes. Bounds and fonts are
// always computed from base values fixed at the first rescale, so that resizing back and
// forth never drifts.
//
// Controls are scaled through ScalableControl; the framework offers no grids, toolbars,
// status bars or tabbed fonts, so the scaling knows only plain controls, labels, controls
// with a published AutoSize and pages of a page control (a control with PageIndex but no
// Pages is not scaled itself; its children are).
//
// Aligned panels: an aligned control is listed and scaled like any other; the component
// then lets the page align its children again, so that a top panel keeps its scaled height
// and spans the page and a client panel fills the rest, whatever the rounding. The
// controls inside a panel are scaled by the page's own ratios, from their own bounds.

#include <memory>
#include <optional>
#include <vector>

#include "elastic_persistence.h"
#include "elastic_settings.h"
#include "scaling_interfaces.h"

namespace elastic {

// One record per listed control, in list order.
struct TFrame {
    Bounds base;  // as designed, then (after the first rescale) scaled to the screen
    double horizontalRatio = 1.0;
    double verticalRatio = 1.0;
    double fontRatio = 1.0;
    int baseFontSize = 0;  // points, for controls with their own font
};

class FormScaler {
public:
    FormScaler(ScalableForm& form, const Screen& screen);

    ElasticSettings& settings() { return m_settings; }
    const ElasticSettings& settings() const { return m_settings; }
    const Screen& screen() const { return m_screen; }

    // The component's own font size in points, which the form's font follows.
    int fontSize() const { return m_fontSize; }
    void setFontSize(int points) { m_fontSize = points; }

    // Builds the control list (with the persisted state, when a file is set), hides the
    // listed controls and computes the screen ratios and the scaled form bounds.
    void AdaptToScreen();
    bool adaptationPending() const { return m_adaptationPending; }

    // The first call scales every control to the screen and fixes the base values; every
    // call lays the controls out for the current client size. Does nothing while a border
    // drag is in progress.
    void Rescale();
    bool firstRescalePending() const { return m_firstRescalePending; }

    // Corrects the form's size to the proportions it had when the drag began; the new
    // size's own resize rescales. When the size stays (both sides changed alike), rescales.
    void KeepProportions();

    // Runs a rescale (or KeepProportions) with every listed control hidden, so that the
    // page repaints once; then shows them again from the last to the first and gives the
    // focus back.
    void rescaleWithControlsHidden(bool keepProportions = false);

    void setDragInProgress(bool value) { m_dragInProgress = value; }
    bool dragInProgress() const { return m_dragInProgress; }
    void setDragStartSize(Size size) { m_dragStartSize = size; }

    // The form's bounds scaled to the screen (AdaptToScreen) and the persisted ones.
    const Bounds& scaledBounds() const { return m_scaled; }
    void setScaledSize(Size size);
    std::optional<Bounds> takePendingPosition();
    std::optional<Size> takePendingSize();

    // What the persistence file holds for the page now; with maximized set, first turns
    // the largest size into the page's percentage of the screen.
    PersistedState persistedState(bool maximized);

    const std::vector<TFrame>& frames() const { return m_frames; }
    const std::vector<std::unique_ptr<ScalableControl>>& controls() const { return m_controls; }

private:
    void collect(std::vector<std::unique_ptr<ScalableControl>> children);
    bool applyPersistedState();
    void adaptToWindowState();
    void computeScaledBounds();
    void firstRescale();
    void scaleToScreen(TFrame& frame, const ScalableControl& control) const;
    void rescaleControls();
    void rescaleControl(TFrame& frame, ScalableControl& control, double h, double v,
                        double fontRatio);
    void refitLabel(ScalableControl& label, const Bounds& set);
    void hideControls();
    void restoreVisibility();

    ScalableForm& m_form;
    Screen m_screen;
    ElasticSettings m_settings;
    std::vector<std::unique_ptr<ScalableControl>> m_controls;
    std::vector<TFrame> m_frames;
    bool m_listBuilt = false;
    bool m_adaptationPending = true;
    bool m_firstRescalePending = true;
    bool m_visibilityRestorePending = true;
    bool m_dragInProgress = false;
    double m_horizontalRatio = 1.0;
    double m_verticalRatio = 1.0;
    double m_fontRatio = 1.0;
    Bounds m_scaled;
    int m_scaledFontSize = 0;
    int m_fontSize = 0;
    int m_baseClientWidth = 0;
    int m_baseClientHeight = 0;
    int m_baseFontSize = 0;
    Size m_dragStartSize;
    std::optional<Bounds> m_pendingPosition;
    std::optional<Size> m_pendingSize;
};

// The size that keeps the proportions of start after the user dragged the form to now.
Size keptProportions(Size start, Size now);

}  // namespace elastic
