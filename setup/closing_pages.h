#pragma once
// The pages that close the wizard: shortcut options with the Install button (CheckBox1
// the desktop, CheckBox2 the Start menu, CheckBox3 Programs), the progress log and the
// finish page (Button2 "Start Quindor", Button1 "Finish").

#include <string>

#include "setup/pages/TisForm5.h"
#include "setup/pages/TisForm7.h"
#include "setup/pages/Tisform6.h"
#include "wizard_page.h"

namespace setup {

class TisForm5 : public WizardPage {
    TisForm5_GENERATED

        public : explicit TisForm5(Wizard& wizard)
        : WizardPage(wizard) {}

    void closeBoxClicked() override { showExitConfirmation(); }
};

// The finish page, after an install or an uninstall; both buttons end the program.
class Tisform6 : public WizardPage {
    Tisform6_GENERATED

        public : explicit Tisform6(Wizard& wizard)
        : WizardPage(wizard) {}

    // The close box means "Finish".
    void closeBoxClicked() override { Button1Click(this); }
};

// The progress log: one row per event of the install procedure.
class TisForm7 : public WizardPage {
    TisForm7_GENERATED

        public : explicit TisForm7(Wizard& wizard)
        : WizardPage(wizard) {}

    // Adds a last row; the list is not scrolled.
    void appendLine(const std::string& text);
    // Redraws the page and its rows now, before the procedure blocks in its next step.
    void repaintNow();
    // The log stays while an installation runs: its close box does nothing. Once an
    // installation ended in an error the log is the last window, and closing it ends
    // the program.
    void closeBoxClicked() override;
    void installFailed() { m_installFailed = true; }

private:
    bool m_installFailed = false;
};

}  // namespace setup
