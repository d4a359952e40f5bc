#pragma once
// The uninstall procedure behind the welcome page's "UnInstall".

#include "machine.h"
#include "setup_ui.h"

namespace engine {

// Removes the shortcuts and the installation record and, after the user confirms, the
// installed folder with its files and sub-folders; then shows the finish page. Ends the
// program when nothing was ever installed, when the recorded folder may not be deleted, or
// when the user interface cannot answer the confirmation (each before anything is touched).
void UninstallProduct(Machine& machine, SetupUi& ui);

}  // namespace engine
