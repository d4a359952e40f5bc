#include "wizard_page.h"

#include "framework/application.h"
#include "pages.h"
#include "wizard.h"

namespace setup {

DesignScreen designScreenFor(int screenWidth, DesignScreen stored) {
    if (screenWidth <= 640) stored = {640, 480};
    if (screenWidth > 800) stored = {1024, 768};
    return stored;
}

void WizardPage::selectDesignScreen() {
    const int screenWidth = framework::Application::instance().screenSize().width;
    const DesignScreen screen = designScreenFor(
        screenWidth,
        {ElasticForm1->settings().DesignScreenWidth, ElasticForm1->settings().DesignScreenHeight});
    ElasticForm1->settings().DesignScreenWidth = screen.width;
    ElasticForm1->settings().DesignScreenHeight = screen.height;
}

void WizardPage::showExitConfirmation() { m_wizard.isForm2->ShowModal(); }

}  // namespace setup
