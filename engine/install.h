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

// The installation folder the choices lead to: the folder text as the system resolves it
// (links of the part that exists followed, "." and ".." worked out, no final '/'), so that
// what is checked is what is written. A relative text only loses one final '/'.
std::string installationFolder(const std::string& folderText);

// What the registry records: the folder text as typed when it already names the folder
// plainly, else the installation folder (with a final '/' when the text had one), so that
// the uninstall finds what was installed even when a link in the text is changed later.
std::string folderToRecord(const std::string& folderText);

// Why a folder text cannot be installed into, or empty when it can: empty, not absolute, a
// folder that the uninstall would refuse to remove (the root however written, a system or
// home folder, ...), or one that another user could change (platform::untrustedFolderReason:
// owned by another user, or open to everybody's writes). Checked before anything is written.
std::string installFolderProblem(const std::string& folderText);

}  // namespace engine
