#include "wizard_ui.h"

#include <QCoreApplication>
#include <QEvent>

#include "pages.h"
#include "wizard.h"

namespace setup {

namespace {

// While a procedure runs, the pages paint and answer the window manager, but input that
// arrives meanwhile is dropped instead of acting later on whatever page is then in front.
class InputBlocker : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::Close:
            case QEvent::Shortcut:
            case QEvent::TouchBegin: return true;
            default: return QObject::eventFilter(watched, event);
        }
    }
};

// Lets pending events run with user input dropped (message boxes still get theirs).
void processEventsWithoutInput(QObject* blocker) {
    QCoreApplication::instance()->installEventFilter(blocker);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(blocker);
}

}  // namespace

WizardUi::WizardUi(Wizard& wizard) : m_wizard(wizard), m_inputBlocker(new InputBlocker) {}

WizardUi::~WizardUi() = default;

void WizardUi::showMessage(const std::string& text) {
    framework::Application::instance().messages().showMessage(text);
}

bool WizardUi::askYesNo(const std::string& text) {
    return framework::Application::instance().messages().askYesNo(text);
}

void WizardUi::showProgressPage() {
    m_wizard.isForm5->Hide();
    m_wizard.isForm7->Show();
}

void WizardUi::appendLogLine(const std::string& line) { m_wizard.isForm7->appendLine(line); }

void WizardUi::repaintLog() { m_wizard.isForm7->repaintNow(); }

void WizardUi::keepPainting() { processEventsWithoutInput(m_inputBlocker.get()); }

void WizardUi::showFinishPage(const std::string& outcome) {
    m_wizard.isForm5->Hide();
    if (!outcome.empty()) m_wizard.isform6->Label2->setCaption(outcome);
    m_wizard.isform6->Show();
}

bool WizardUi::processPendingEvents() {
    processEventsWithoutInput(m_inputBlocker.get());
    return !framework::Application::instance().terminated();
}

void WizardUi::setHourglass(bool on) {
    if (on) {
        m_hourglass.emplace();
    } else {
        m_hourglass.reset();
    }
}

void WizardUi::endProgram() { framework::Application::instance().terminate(); }

}  // namespace setup
