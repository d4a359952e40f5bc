#include "welcome_pages.h"

#include "engine/uninstall.h"
#include "framework/application.h"
#include "pages.h"
#include "wizard.h"
#include "wizard_ui.h"

namespace setup {

using framework::Component;

void TisForm1::FormCreate(Component*) { selectDesignScreen(); }

void TisForm1::RadioButton1Click(Component*) { Button3->setCaption("Next>"); }

void TisForm1::RadioButton2Click(Component*) { Button3->setCaption("UnInstall"); }

void TisForm1::Button2Click(Component*) { showExitConfirmation(); }

void TisForm1::Button3Click(Component*) {
    if (RadioButton1->checked()) {
        Hide();
        m_wizard.isForm3->setVisible(true);
        return;
    }
    Hide();
    WizardUi ui(m_wizard);
    engine::UninstallProduct(m_wizard.machine(), ui);
}

void TisForm2::FormCreate(Component*) { selectDesignScreen(); }

void TisForm2::Button1Click(Component*) { Close(); }

void TisForm2::Button2Click(Component*) {
    Close();
    m_wizard.isForm1->setVisible(true);
    framework::Application::instance().terminate();
}

}  // namespace setup
