#include "elastic_form.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTimer>

#include "background_picture.h"
#include "elastic_persistence.h"
#include "form_scaler.h"
#include "framework/application.h"
#include "framework/picture.h"
#include "framework_adapters.h"
#include "track_limits.h"

namespace elastic {

using framework::FormMessage;
using framework::FormMessageKind;

namespace {

// One flag for every elastic form of the program, as a maximized page hands it on.
bool g_maximized = false;

constexpr const char* kTrueTypeWarning =
    "Form's Font is not True Type.  Only True Type font are guaranteed to resize well at all "
    "form sizes.  Consider Changing the form's font to one that is True Type.";

Screen currentScreen() {
    const framework::Application& app = framework::Application::instance();
    const framework::ScreenSize size = app.screenSize();
    return {size.width, size.height, app.pixelsPerInch()};
}

int elasticFormsOn(const framework::Component& owner) {
    int count = 0;
    for (int i = 0; i < owner.componentCount(); ++i) {
        if (dynamic_cast<TElasticForm*>(owner.component(i)) != nullptr) ++count;
    }
    return count;
}

bool isTrueType(const framework::TFont& font) {
    return QFontDatabase::isSmoothlyScalable(QFontInfo(font.toQFont()).family());
}

}  // namespace

TElasticForm::TElasticForm(framework::Component* owner)
    : Component(owner), m_form(dynamic_cast<framework::TForm*>(owner)) {
    if (m_form == nullptr) throw EElasticForm("Owner of TElasticForm component must be a form");
    if (elasticFormsOn(*owner) > 1) {
        throw EElasticForm("A TElasticForm component already exists in " + owner->name());
    }
    m_adapter = std::make_unique<FormAdapter>(*m_form);
    m_scaler = std::make_unique<FormScaler>(*m_adapter, currentScreen());
    m_font.assign(m_form->Font());
    m_font.onChange = [this] {
        if (!m_syncingFont) fontChanged();
    };
    m_scaler->setFontSize(m_form->Font().size());
    if (owner->hasState(framework::csDesigning)) {
        setState(framework::csDesigning, true);
        startDesigning();
    } else {
        m_hook =
            m_form->addMessageHook([this](const FormMessage& message) { handleMessage(message); });
    }
    g_maximized = m_form->windowState() == framework::WindowState::Maximized;
}

TElasticForm::~TElasticForm() = default;

ElasticSettings& TElasticForm::settings() { return m_scaler->settings(); }
const ElasticSettings& TElasticForm::settings() const { return m_scaler->settings(); }

bool TElasticForm::sharedMaximized() { return g_maximized; }

void TElasticForm::Loaded() {
    Component::Loaded();
    resolveBackground();
}

// --- the font ---

void TElasticForm::fontChanged() {
    m_scaler->setFontSize(m_font.size());
    framework::TFont& form = m_form->Font();
    if (form.name() != m_font.name()) form.setName(m_font.name());
    if (form.style() != m_font.style()) form.setStyle(m_font.style());
    syncFormFont();
}

// The page's font follows the component's in size and colour; the scaling changes the
// component's size.
void TElasticForm::syncFormFont() {
    if (m_font.size() != m_scaler->fontSize()) {
        m_syncingFont = true;
        m_font.setSize(m_scaler->fontSize());
        m_syncingFont = false;
    }
    framework::TFont& form = m_form->Font();
    if (form.size() != m_scaler->fontSize()) form.setSize(m_scaler->fontSize());
    if (form.color() != m_font.color()) form.setColor(m_font.color());
}

// --- the background picture ---

void TElasticForm::setBkGrndImage(const std::string& value) {
    m_backgroundName = value;
    m_background = nullptr;
    if (!hasState(framework::csLoading)) resolveBackground();
}

void TElasticForm::resolveBackground() {
    if (m_backgroundName.empty() || m_background != nullptr) return;
    m_background = dynamic_cast<framework::TImage*>(m_form->findComponent(m_backgroundName));
    if (m_background == nullptr) {
        throw framework::EPropertyError("BkGrndImage: " + m_backgroundName +
                                        " is no image control");
    }
    m_background->setVisible(false);  // only its picture is used
}

void TElasticForm::paintBackgroundPicture() {
    if (m_background != nullptr) paintBackground(*m_form, *m_background);
}

// --- the page's messages ---

void TElasticForm::handleMessage(const FormMessage& message) {
    // The page adapts at its first message after its creation handler, which is the
    // creation hook itself; only a page's later messages can need it, so a page that is
    // never shown costs nothing at start-up.
    if (message.kind == FormMessageKind::Created) return;
    syncFormFont();
    if (m_scaler->adaptationPending()) adapt();
    if (const auto position = m_scaler->takePendingPosition()) {
        m_form->setBounds(position->left, position->top, position->width, position->height);
    }
    switch (message.kind) {
        case FormMessageKind::Show: shown(); break;
        case FormMessageKind::Activate: m_activated = true; break;
        case FormMessageKind::Move: positionChanged(); break;
        case FormMessageKind::Resize:
            positionChanged();
            resized(message);
            break;
        case FormMessageKind::WindowState: windowStateChanged(message); break;
        case FormMessageKind::Destroy: m_hook.reset(); return;
        default: break;
    }
    m_lastWidth = m_form->width();
    m_lastHeight = m_form->height();
}

void TElasticForm::adapt() {
    m_scaler->AdaptToScreen();
    m_lastWidth = m_scaler->scaledBounds().width;
    m_lastHeight = m_scaler->scaledBounds().height;
}

void TElasticForm::giveScaledBounds() {
    const Bounds b = m_scaler->scaledBounds();
    m_form->setBounds(b.left, b.top, b.width, b.height);
}

void TElasticForm::shown() {
    if (m_beforeFirstShow) {
        giveScaledBounds();
        if (m_scaler->firstRescalePending()) rescaleNow();
        m_beforeFirstShow = false;
    }
    if (const auto size = m_scaler->takePendingSize()) {
        m_scaler->Rescale();
        m_scaler->setScaledSize(*size);
        giveScaledBounds();
    }
}

// The page's bounds are its own once it has been activated and then moved or sized.
void TElasticForm::positionChanged() {
    if (m_activated) m_sizingReleased = true;
}

void TElasticForm::resized(const FormMessage& message) {
    using framework::SizeKind;
    if (message.sizeKind == SizeKind::Maximized && !g_maximized) {
        m_sizingReleased = true;
        g_maximized = true;
    } else if (message.sizeKind == SizeKind::Restored && m_sizingReleased) {
        m_beforeFirstShow = false;
        g_maximized = false;
    }
    if (m_beforeFirstShow || !m_sizingReleased) giveScaledBounds();
    // A restore from maximized is a change of state, not a drag: laid out at once.
    const bool restoring = m_lastSizeKind != SizeKind::Restored;
    m_lastSizeKind = message.sizeKind;
    const bool userDrag = message.origin == framework::MessageOrigin::WindowManager &&
                          message.sizeKind == SizeKind::Restored && m_sizingReleased && !restoring;
    if (userDrag) {
        dragResize();
        return;
    }
    // The window manager may report a maximized size first as a plain one: that was no drag.
    if (message.sizeKind != SizeKind::Restored) cancelDrag();
    if (!m_scaler->dragInProgress()) rescaleNow();
}

void TElasticForm::cancelDrag() {
    if (m_dragTimer) m_dragTimer->stop();
    m_scaler->setDragInProgress(false);
    m_sizeChangedDuringDrag = false;
}

void TElasticForm::windowStateChanged(const FormMessage& message) {
    // A page maximized before its first show is scaled to the screen before it grows.
    if (message.newState == framework::WindowState::Maximized && m_scaler->firstRescalePending()) {
        m_scaler->Rescale();
    }
}

void TElasticForm::rescaleNow() {
    m_scaler->rescaleWithControlsHidden();
    afterRescale();
    savePersistenceFile();
}

// Aligned controls were scaled like any other; their parents now align them again, so that
// a top panel spans the page and a client panel fills the rest without a rounding gap.
void TElasticForm::afterRescale() {
    syncFormFont();
    m_form->realignChildren();
    applySizeLimits();
    paintBackgroundPicture();
}

// --- a drag of the border ---

void TElasticForm::dragResize() {
    if (!m_scaler->dragInProgress()) {
        m_scaler->setDragStartSize({m_lastWidth, m_lastHeight});
        m_scaler->setDragInProgress(true);
    }
    m_sizeChangedDuringDrag = true;
    if (!m_dragTimer) {
        m_dragTimer = std::make_unique<QTimer>();
        m_dragTimer->setSingleShot(true);
        m_dragTimer->setInterval(kDragSettleMs);
        QObject::connect(m_dragTimer.get(), &QTimer::timeout, [this] { dragEnded(); });
    }
    m_dragTimer->start();
}

void TElasticForm::dragEnded() {
    m_scaler->setDragInProgress(false);
    if (m_sizeChangedDuringDrag) {
        m_sizeChangedDuringDrag = false;
        m_scaler->rescaleWithControlsHidden(settings().MaintainProportions);
        afterRescale();
    }
    g_maximized = false;
    savePersistenceFile();
}

// --- limits and persistence ---

// The window managers of X11 and Wayland place and size a maximized window themselves:
// the maximized size and position of the limits cannot be given to Qt and are not applied;
// the smallest and largest sizes the user can drag to are.
void TElasticForm::applySizeLimits() {
    Size maximized;
    const Bounds scaled = m_scaler->scaledBounds();
    if (settings().MaintainProportions) {
        maintainProportionLimits(settings(), {scaled.width, scaled.height}, m_scaler->screen(),
                                 m_adapter->screenCentred(), maximized);
    }
    if (m_scaler->firstRescalePending()) return;
    MinMaxInfo info;
    applyLimits(settings(), maximized, m_scaler->screen(), info);
    if (info == MinMaxInfo{}) return;
    m_form->setSizeLimits(info.minTrackSize.width, info.minTrackSize.height,
                          info.maxTrackSize.width, info.maxTrackSize.height);
}

void TElasticForm::savePersistenceFile() {
    if (!settings().ElFrmIniFile.empty()) {
        savePersistedState(settings().ElFrmIniFile, m_scaler->persistedState(g_maximized));
    }
}

// --- in a form designer only ---

void TElasticForm::startDesigning() {
    recordDesignBounds();
    m_designTimer = std::make_unique<QTimer>();
    m_designTimer->setInterval(1000);
    // The framework's pages have no automatic scroll bars to switch off.
    QObject::connect(m_designTimer.get(), &QTimer::timeout, [this] {
        recordDesignBounds();
        m_syncingFont = true;
        m_font.assign(m_form->Font());
        m_syncingFont = false;
    });
    m_designTimer->start();
    m_form->setScaled(false);
    const Screen screen = currentScreen();
    settings().DesignScreenWidth = screen.width;
    settings().DesignScreenHeight = screen.height;
    settings().DesignPixelsPerInch = screen.pixelsPerInch;
    if (!isTrueType(m_form->Font()))
        framework::Application::instance().messages().showMessage(kTrueTypeWarning);
}

void TElasticForm::recordDesignBounds() {
    ElasticSettings& s = settings();
    s.DesignFormWidth = m_form->width();
    s.DesignFormHeight = m_form->height();
    s.DesignFormClientWidth = m_form->clientWidth();
    s.DesignFormClientHeight = m_form->clientHeight();
    s.DesignFormLeft = m_form->left();
    s.DesignFormTop = m_form->top();
}

// --- published properties ---

const framework::ClassInfo& TElasticForm::staticClassInfo() {
    using C = TElasticForm;
    using S = ElasticSettings;
    auto field = [](const char* name, auto S::*member) {
        return framework::memberProperty(name, static_cast<S& (C::*)()>(&C::settings), member);
    };
    return framework::declareClass<C>("TElasticForm", [&] {
        return std::vector<framework::PropertyInfo>{
            field("ElasticHorizontal", &S::ElasticHorizontal),
            field("ElasticVertical", &S::ElasticVertical),
            field("ElasticFont", &S::ElasticFont),
            field("DesignScreenWidth", &S::DesignScreenWidth),
            field("DesignScreenHeight", &S::DesignScreenHeight),
            field("DesignPixelsPerInch", &S::DesignPixelsPerInch),
            field("MaximizedPosX", &S::MaximizedPosX),
            field("MaximizedPosY", &S::MaximizedPosY),
            field("MinimumTrackWidth", &S::MinimumTrackWidth),
            field("MinimumTrackHeight", &S::MinimumTrackHeight),
            field("MaximumTrackWidth", &S::MaximumTrackWidth),
            field("MaximumTrackHeight", &S::MaximumTrackHeight),
            field("DesignFormWidth", &S::DesignFormWidth),
            field("DesignFormHeight", &S::DesignFormHeight),
            field("DesignFormClientWidth", &S::DesignFormClientWidth),
            field("DesignFormClientHeight", &S::DesignFormClientHeight),
            field("DesignFormLeft", &S::DesignFormLeft),
            field("DesignFormTop", &S::DesignFormTop),
            field("MaintainProportions", &S::MaintainProportions),
            framework::objectProperty("Font", static_cast<framework::TFont& (C::*)()>(&C::Font)),
            framework::valueProperty("BkGrndImage", &C::BkGrndImage, &C::setBkGrndImage),
            field("DBGridSelfResize", &S::DBGridSelfResize),
            field("ElFrmIniFile", &S::ElFrmIniFile),
            framework::valueProperty("Version", &C::Version, &C::setVersion),
        };
    });
}

}  // namespace elastic
