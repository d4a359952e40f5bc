#pragma once
// The dictionary page: one or more of fifteen language dictionaries, each row with the
// code of its archive in the parallel list DictionaryCodes.

#include "page_choices.h"
#include "setup/pages/Tisform4.h"
#include "wizard_page.h"

namespace setup {

class Tisform4 : public WizardPage {
    Tisform4_GENERATED

        public : explicit Tisform4(Wizard& wizard)
        : WizardPage(wizard) {}

    // Row i of CheckListBox1 installs the archive named by entry i.
    framework::StringList DictionaryCodes;

    void closeBoxClicked() override { showExitConfirmation(); }
};

}  // namespace setup
