#pragma once
// The folder chooser and the new-folder dialog, both modal over the page that opens them.
// The chooser: Button2 "Accept", Button3 "Abort", Button1 "Help", BitBtn1 "Create folder";
// Panel1 holds the folder tree. The new-folder dialog: Button3 "OK", Button2 "Cancel",
// Button1 "Help".

#include <string>

#include "setup/pages/TiForm10.h"
#include "setup/pages/TiForm11.h"
#include "wizard_page.h"

namespace setup {

class TiForm10 : public WizardPage {
    TiForm10_GENERATED

        public : explicit TiForm10(Wizard& wizard)
        : WizardPage(wizard) {}

    // The result: a folder with its final '/' after "Accept", empty after "Abort".
    std::string ChosenFolder;
    // A folder to select when the dialog is next activated (set by the new-folder dialog).
    std::string PendingFolder;

    // Should the window manager close the dialog anyway, that is "Abort".
    void closeBoxClicked() override { Button3Click(this); }
};

class TiForm11 : public WizardPage {
    TiForm11_GENERATED

        public : explicit TiForm11(Wizard& wizard)
        : WizardPage(wizard) {}

    // The name taken from Edit1 on "OK", emptied on "Cancel".
    std::string NewFolderName;

    // Should the window manager close the dialog anyway, that is "Cancel".
    void closeBoxClicked() override { Button2Click(this); }
};

}  // namespace setup
