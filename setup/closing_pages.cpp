#include "closing_pages.h"

#include <QWidget>
#include <filesystem>

#include "engine/install.h"
#include "engine/product.h"
#include "framework/application.h"

#include "pages.h"
#include "wizard.h"
#include "wizard_ui.h"

namespace setup {

using framework::Component;

void TisForm5::FormCreate(Component*) {
    selectDesignScreen();
    Image1->Picture().assign(m_wizard.isForm1->Image1->Picture());
}

void TisForm5::Button2Click(Component*) { showExitConfirmation(); }

void TisForm5::Button4Click(Component*) {
    Hide();
    m_wizard.isform4->setVisible(true);
}

void TisForm5::Button3Click(Component*) {
    WizardUi ui(m_wizard);
    try {
        engine::InstallProduct(m_wizard.machine(), ui, m_wizard.installChoices(),
                               m_wizard.distributionFolder());
    } catch (...) {
        m_wizard.isForm7->installFailed();
        throw;  // shown in the error box; the log stays
    }
}

void Tisform6::FormCreate(Component*) {
    selectDesignScreen();
    Image1->Picture().assign(m_wizard.isForm1->Image1->Picture());
}

// After an uninstall there is nothing to start; the button stays disabled from then on.
void Tisform6::FormActivate(Component*) {
    if (m_wizard.isForm1->RadioButton2->checked()) Button2->setEnabled(false);
}

// Starts the installed program, not waited for, and ends the setup either way.
void Tisform6::Button2Click(Component*) {
    const std::string program =
        engine::installationFolder(m_wizard.isForm3->Edit1->text()) + "/" + engine::kProgramFile;
    std::error_code ignored;  // a vanished current folder leaves the program's own choice
    const std::string folder = std::filesystem::current_path(ignored).string();
    if (!m_wizard.machine().programs().startDetached({program}, folder)) {
        framework::Application::instance().messages().showMessage("Starting Quindor failed!");
    }
    m_wizard.isForm1->Close();
}

void Tisform6::Button1Click(Component*) { m_wizard.isForm1->Close(); }

void TisForm7::FormCreate(Component*) { selectDesignScreen(); }

void TisForm7::appendLine(const std::string& text) { LB->Items().add(text); }

void TisForm7::repaintNow() {
    LB->layOutRows();
    widget()->repaint();
}

void TisForm7::closeBoxClicked() {
    if (m_installFailed) m_wizard.isForm1->Close();
}

}  // namespace setup
