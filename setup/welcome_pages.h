#pragma once
// The welcome page with the choice between installing and removing, and the exit
// confirmation that every page's "Cancel" opens.

#include "setup/pages/TisForm1.h"
#include "setup/pages/TisForm2.h"
#include "wizard_page.h"

namespace setup {

class TisForm1 : public WizardPage {
    TisForm1_GENERATED

        public : explicit TisForm1(Wizard& wizard)
        : WizardPage(wizard) {}
};

class TisForm2 : public WizardPage {
    TisForm2_GENERATED

        public : explicit TisForm2(Wizard& wizard)
        : WizardPage(wizard) {}

    // The close box means "Resume": the user stays where they were.
    void closeBoxClicked() override { Close(); }
};

}  // namespace setup
