#pragma once
// The first install page: the product's screen language and the installation folder.

#include <string>

#include "setup/pages/TisForm3.h"
#include "wizard_page.h"

namespace setup {

// The code a screen-language text yields: exact, case-sensitive match of one of the
// list's names, anything else "US".
std::string screenLanguageCode(const std::string& text);

// The folder box's text at start: the product's folder in the user's home folder.
std::string defaultTargetFolder();

// The folder box's text for a folder chosen in the folder chooser (with its final '/'):
// "Quindor/" is added unless the folder's last name is already quindor in any letter case.
std::string targetFolderFor(const std::string& chosenFolder);

class TisForm3 : public WizardPage {
    TisForm3_GENERATED

        public : explicit TisForm3(Wizard& wizard)
        : WizardPage(wizard) {}

    void closeBoxClicked() override { showExitConfirmation(); }
};

}  // namespace setup
