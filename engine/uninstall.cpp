#include "uninstall.h"

#include "folder_tree.h"
#include "operations.h"
#include "platform/desktop_entry.h"
#include "platform/files.h"
#include "platform/folder_guard.h"

namespace engine {

namespace {

std::string recordedFolder(Machine& machine) {
    try {
        if (!machine.keyExists(RootKey::LocalMachine, kRecordKey, true)) return {};
        return machine.readString(RootKey::LocalMachine, kRecordKey, "").value_or(std::string());
    } catch (const std::exception&) {
        return {};
    }
}

// The links the install made, found by the rule that made them; each on its own.
void removeShortcuts(Machine& machine) {
    for (unsigned kind : {kDesktop, kStartMenu, kPrograms}) {
        try {
            const std::string folder = ShellFolderPath(machine, kind);
            if (!folder.empty()) {
                platform::removeFile(folder + "/" + platform::desktopEntryFileName(kShortcutName));
            }
        } catch (const std::exception&) {
            // A shortcut that cannot be removed does not keep the others.
        }
    }
}

void deleteInstalledFolder(SetupUi& ui, const std::string& folder) {
    FolderTree tree([&ui] { return ui.processPendingEvents(); });
    ui.setHourglass(true);
    try {
        tree.DeleteFolderTree(folder, "*.*", true);
    } catch (...) {
        ui.setHourglass(false);
        throw;
    }
    ui.setHourglass(false);
    tree.addRemovedFolder(folder);
    tree.removeCollectedFolders();
}

}  // namespace

void UninstallProduct(Machine& machine, SetupUi& ui) {
    const std::string folder = recordedFolder(machine);
    if (folder.empty()) {
        ui.showMessage("You have never installed Quindor!\rSo we do not have to UnInstall it.");
        ui.endProgram();
        return;
    }
    if (const auto reason = platform::refusalReason(folder)) {
        ui.showMessage(*reason);
        ui.endProgram();
        return;
    }
    removeShortcuts(machine);
    machine.deleteKeyTree(RootKey::LocalMachine, kProductKey);
    if (ui.askYesNo("Do you really want to delete all files and subdirs from\rthe directory " +
                    folder)) {
        deleteInstalledFolder(ui, folder);
    }
    ui.showFinishPage("You have succesfully removed Quindor");
}

}  // namespace engine
