#include "form_scaler.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "rounding.h"
#include "track_limits.h"

namespace elastic {

namespace {

// a / b, or 1 where the base is empty (a page without client area scales nothing).
double ratio(double a, double b) { return b > 0 ? a / b : 1.0; }

Bounds scaledBy(const Bounds& b, double rx, double ry) {
    return {RoundEven(rx * b.left), RoundEven(ry * b.top), RoundEven(rx * b.width),
            RoundEven(ry * b.height)};
}

}  // namespace

FormScaler::FormScaler(ScalableForm& form, const Screen& screen) : m_form(form), m_screen(screen) {}

void FormScaler::collect(std::vector<std::unique_ptr<ScalableControl>> children) {
    for (auto& child : children) {
        // A page of a page control (PageIndex without Pages) is not scaled; its children are.
        const bool listed = !child->name().empty() &&
                            (!child->hasProperty("PageIndex") || child->hasProperty("Pages"));
        std::vector<std::unique_ptr<ScalableControl>> grandchildren = child->children();
        if (listed) {
            m_frames.push_back(TFrame{child->bounds()});
            m_controls.push_back(std::move(child));
        }
        collect(std::move(grandchildren));
    }
}

bool FormScaler::applyPersistedState() {
    const Size designed{m_scaled.width, m_scaled.height};
    const std::optional<PersistedState> state = loadPersistedState(
        m_settings.ElFrmIniFile, static_cast<int>(m_controls.size()), m_screen, designed);
    if (!state) return false;
    m_form.setMaximized(state->maximized);
    if (state->placement) {
        const Bounds placed = placementBounds(*state->placement, m_screen);
        m_pendingPosition = Bounds{placed.left, placed.top, 0, 0};
        m_pendingSize = Size{placed.width, placed.height};
    }
    m_settings.MaximumTrackWidth = state->maximumTrackWidth;
    m_settings.MaximumTrackHeight = state->maximumTrackHeight;
    for (std::size_t i = 0; i < m_controls.size(); ++i)
        m_controls[i]->setVisible(state->visible[i]);
    return true;
}

void FormScaler::AdaptToScreen() {
    const bool buildList = !m_listBuilt;
    if (buildList) {
        collect(m_form.children());
        m_listBuilt = true;
    }
    adaptToWindowState();
    // A persisted state is checked against the page's scaled size, so it is read after
    // that is known; a persisted maximized state then adapts the page again.
    if (buildList) {
        const bool restored = !m_settings.ElFrmIniFile.empty() && applyPersistedState();
        if (restored && m_form.maximized()) adaptToWindowState();
        hideControls();
    }
    m_adaptationPending = false;
}

void FormScaler::adaptToWindowState() {
    if (m_form.maximized()) {
        ElasticSettings& s = m_settings;
        s.DesignFormWidth = s.DesignScreenWidth;
        s.DesignFormHeight = s.DesignScreenHeight;
        s.DesignFormTop = resolveLimit(s.MaximizedPosY, s.DesignScreenHeight);
        s.DesignFormLeft = resolveLimit(s.MaximizedPosX, s.DesignScreenWidth);
    }
    computeScaledBounds();
}

void FormScaler::computeScaledBounds() {
    const ElasticSettings& s = m_settings;
    m_horizontalRatio = ratio(m_screen.width, s.DesignScreenWidth);
    m_verticalRatio = ratio(m_screen.height, s.DesignScreenHeight);
    m_fontRatio = std::sqrt(m_horizontalRatio * m_verticalRatio);
    m_scaledFontSize = RoundHalfDown(m_form.fontSize() * m_fontRatio);
    m_scaled.left = RoundEven(s.DesignFormLeft * m_horizontalRatio);
    m_scaled.top = RoundEven(s.DesignFormTop * m_verticalRatio);
    const bool border = m_form.hasBorder();
    m_scaled.width =
        RoundEven(m_horizontalRatio * (border ? s.DesignFormWidth : s.DesignFormClientWidth));
    m_scaled.height =
        RoundEven(m_verticalRatio * (border ? s.DesignFormHeight : s.DesignFormClientHeight));
    if (m_form.screenCentred()) {
        m_scaled.left = (m_screen.width - m_scaled.width) / 2;
        m_scaled.top = (m_screen.height - m_scaled.height) / 2;
    }
    if (m_scaled.left > m_screen.width - m_scaled.width)
        m_scaled.left = (m_screen.width - m_scaled.width) / 2;
    if (m_scaled.top > m_screen.height - m_scaled.height)
        m_scaled.top = (m_screen.height - m_scaled.height) / 2;
    m_scaled.left = std::max(0, m_scaled.left);
    m_scaled.top = std::max(0, m_scaled.top);
}

void FormScaler::setScaledSize(Size size) {
    m_scaled.width = size.width;
    m_scaled.height = size.height;
}

std::optional<Bounds> FormScaler::takePendingPosition() {
    std::optional<Bounds> position = std::exchange(m_pendingPosition, std::nullopt);
    if (position) {
        position->width = m_scaled.width;
        position->height = m_scaled.height;
    }
    return position;
}

std::optional<Size> FormScaler::takePendingSize() {
    return std::exchange(m_pendingSize, std::nullopt);
}

void FormScaler::Rescale() {
    if (m_dragInProgress) return;
    if (m_firstRescalePending) firstRescale();
    rescaleControls();
}

void FormScaler::firstRescale() {
    for (std::size_t i = 0; i < m_frames.size(); ++i) scaleToScreen(m_frames[i], *m_controls[i]);
    if (m_scaledFontSize != 0) m_fontSize = m_scaledFontSize;
    const Size client = m_form.clientSize();
    m_baseClientWidth = client.width;
    m_baseClientHeight = client.height;
    m_baseFontSize = m_fontSize;
    m_firstRescalePending = false;
}

void FormScaler::scaleToScreen(TFrame& frame, const ScalableControl& control) const {
    frame.base = scaledBy(frame.base, m_horizontalRatio, m_verticalRatio);
    if (!control.parentFont()) frame.baseFontSize = Trunc(control.fontSize() * m_fontRatio);
}

void FormScaler::rescaleControls() {
    // The form's outer size over the base client size, as the font has always been fitted.
    const Bounds form = m_form.bounds();
    const double fontTarget =
        std::min(ratio(m_baseFontSize * double(form.width), m_baseClientWidth),
                 ratio(m_baseFontSize * double(form.height), m_baseClientHeight));
    if (m_settings.ElasticFont) m_fontSize = RoundEven(fontTarget);
    const double fontRatio = ratio(fontTarget, m_baseFontSize);
    const Size client = m_form.clientSize();
    const double h = ratio(client.width, m_baseClientWidth);
    const double v = ratio(client.height, m_baseClientHeight);
    for (std::size_t i = 0; i < m_frames.size(); ++i)
        rescaleControl(m_frames[i], *m_controls[i], h, v, fontRatio);
    if (m_visibilityRestorePending) {
        restoreVisibility();
        m_visibilityRestorePending = false;
    }
}

void FormScaler::rescaleControl(TFrame& frame, ScalableControl& control, double h, double v,
                                double fontRatio) {
    if (m_settings.ElasticFont) {
        frame.fontRatio = fontRatio;
        if (!control.parentFont())
            control.setFontSize(RoundHalfDown(fontRatio * frame.baseFontSize));
    }
    Bounds target = frame.base;
    if (m_settings.ElasticHorizontal) {
        frame.horizontalRatio = h;
        target.left = RoundEven(h * frame.base.left);
        target.width = RoundEven(h * frame.base.width);
    }
    if (m_settings.ElasticVertical) {
        frame.verticalRatio = v;
        target.top = RoundEven(v * frame.base.top);
        target.height = RoundEven(v * frame.base.height);
    }
    control.setBounds(target);
    if (control.isLabel()) {
        refitLabel(control, target);
    } else if (control.autoSize()) {
        control.setAutoSize(false);
        control.setAutoSize(true);
    }
}

// A label sized by hand grows to its text at the new font but never below its new bounds;
// an auto-sized one is measured again.
void FormScaler::refitLabel(ScalableControl& label, const Bounds& set) {
    if (label.autoSize()) {
        label.setAutoSize(false);
        label.setAutoSize(true);
        return;
    }
    label.setAutoSize(true);
    label.setAutoSize(false);
    const Bounds fitted = label.bounds();
    label.setBounds({set.left, set.top, std::max(fitted.width, set.width),
                     std::max(fitted.height, set.height)});
}

void FormScaler::hideControls() {
    for (auto& control : m_controls) control->hideTemporarily();
}

void FormScaler::restoreVisibility() {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) (*it)->endTemporaryHiding();
}

void FormScaler::rescaleWithControlsHidden(bool keepProportions) {
    m_form.rememberFocus();
    hideControls();
    if (keepProportions) {
        KeepProportions();
    } else {
        Rescale();
    }
    m_form.repaint();
    restoreVisibility();
    m_form.giveFocusBack();
}

Size keptProportions(Size start, Size now) {
    if (start.width <= 0 || start.height <= 0) return now;
    const int dw = now.width - start.width;
    const int dh = now.height - start.height;
    const auto heightFor = [&](int width) {
        return RoundEven(double(width) * start.height / start.width);
    };
    const auto widthFor = [&](int height) {
        return RoundEven(double(height) * start.width / start.height);
    };
    if (now.width + now.height > start.width + start.height) {
        if (dh < dw) return {now.width, heightFor(now.width)};
        if (dw < dh) return {widthFor(now.height), now.height};
    } else {
        if (dh < dw) return {widthFor(now.height), now.height};
        if (dw < dh) return {now.width, heightFor(now.width)};
    }
    return now;
}

void FormScaler::KeepProportions() {
    const Bounds now = m_form.bounds();
    const Size kept = keptProportions(m_dragStartSize, {now.width, now.height});
    // A new size brings its own rescale; an unchanged one would bring none.
    if (kept != Size{now.width, now.height}) {
        m_form.setSize(kept);
    } else {
        Rescale();
    }
}

PersistedState FormScaler::persistedState(bool maximized) {
    const Bounds form = m_form.bounds();
    PersistedState state;
    state.controlCount = static_cast<int>(m_controls.size());
    state.maximized = maximized;
    if (maximized) {
        const auto percent = [](int extent, int screen) {
            const int p = -RoundEven(ratio(extent, screen) * 100.0);
            return p <= -100 ? 0 : p;
        };
        m_settings.MaximumTrackWidth = percent(form.width, m_screen.width);
        m_settings.MaximumTrackHeight = percent(form.height, m_screen.height);
    } else {
        state.placement = PersistedPlacement{
            ratio(form.left, m_screen.width), ratio(form.top, m_screen.height),
            ratio(form.width, m_screen.width), ratio(form.height, m_screen.height)};
    }
    state.maximumTrackWidth = m_settings.MaximumTrackWidth;
    state.maximumTrackHeight = m_settings.MaximumTrackHeight;
    for (const auto& control : m_controls) state.visible.push_back(control->visible());
    return state;
}

}  // namespace elastic
