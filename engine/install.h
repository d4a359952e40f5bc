#pragma once
// The install procedure behind the shortcut page's Install button.

#include <string>
#include <vector>

#include "machine.h"
#include "setup_ui.h"

namespace engine {

// The choices the wizard's pages collected, read when Install is pressed.
struct InstallChoices {
    std::string folderText;                    // as typed or chosen, as a rule with a final '/'
    std::string screenLanguageCode;            // "US", "DK", ...
    std::vector<std::string> dictionaryCodes;  // the checked rows' codes, in row order
    bool desktopShortcut = true;
    bool startMenuShortcut = false;
    bool programsShortcut = true;
};

// Unpacks the product, writes MARLO.INI, installs Tahoma where it is missing, makes the
// shortcuts, records the installation and shows the finish page, logging each step. An
// error that ends it early propagates (the framework shows it); what was done stays.
void InstallProduct(Machine& machine, SetupUi& ui, const InstallChoices& choices,
                    const std::string& distributionFolder);

// The installation folder the choices lead to: the folder text without one final '/'.
std::string installationFolder(const std::string& folderText);

// Why a folder text cannot be installed into (empty, not absolute), or empty when it can.
std::string installFolderProblem(const std::string& folderText);

}  // namespace engine
