#include "uninstall.h"

#include <utility>

#include "failure_rules.h"
#include "folder_tree.h"
#include "operations.h"
#include "platform/desktop_entry.h"
#include "platform/folder_guard.h"

namespace engine {

namespace {

// The steps of the uninstall whose failure is handled.
enum class Step { ReadRecord, Shortcut, ProductKey, InstalledFolder };

// The one table of the uninstall's failure rules.
constexpr std::pair<Step, OnFailure> kFailureRules[] = {
    // A record that cannot be read counts as none: nothing is touched and the program ends.
    {Step::ReadRecord, OnFailure::PassedOver},
    // Each shortcut on its own: one left behind is named, the others still go.
    {Step::Shortcut, OnFailure::Shown},
    // A record left behind is named; the files still go.
    {Step::ProductKey, OnFailure::Shown},
    // What the walk raises ends the uninstall without the finish page.
    {Step::InstalledFolder, OnFailure::Ends},
};

// Runs one uninstall step under its rule.
template <typename Action>
void runStep(SetupUi& ui, Step step, Action action) {
    engine::runStep(ui, ruleOf(kFailureRules, step), action);
}

std::string recordedFolder(RegistryStore& registry, SetupUi& ui) {
    std::string folder;
    runStep(ui, Step::ReadRecord, [&] {
        if (registry.keyExists(RootKey::LocalMachine, kRecordKey, true)) {
            folder =
                registry.readString(RootKey::LocalMachine, kRecordKey, "").value_or(std::string());
        }
    });
    return folder;
}

// The links the install made, found by the rule that made them.
void removeShortcuts(Machine& machine, SetupUi& ui) {
    for (unsigned kind : {kDesktop, kStartMenu, kPrograms}) {
        runStep(ui, Step::Shortcut, [&] {
            const std::string folder = ShellFolderPath(machine.registry(), kind);
            if (!folder.empty()) {
                machine.files().removeFileIfPresent(folder + "/" +
                                                    platform::desktopEntryFileName(kShortcutName));
            }
        });
    }
}

// The product key with the record below it; a record still there afterwards was not
// removed, and the next uninstall would take the product for installed.
void removeProductKey(RegistryStore& registry, SetupUi& ui) {
    runStep(ui, Step::ProductKey, [&] {
        if (!registry.deleteKeyTree(RootKey::LocalMachine, kProductKey) &&
            registry.keyExists(RootKey::LocalMachine, kRecordKey, false)) {
            throw EEngineError("The registry key " + std::string(kProductKey) +
                               " could not be removed.");
        }
    });
}

// The hourglass shows while the walk runs, however it ends.
class Hourglass {
public:
    explicit Hourglass(SetupUi& ui) : m_ui(ui) { m_ui.setHourglass(true); }
    ~Hourglass() { m_ui.setHourglass(false); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    SetupUi& m_ui;
};

void deleteInstalledFolder(SetupUi& ui, const std::string& folder) {
    runStep(ui, Step::InstalledFolder, [&] {
        FolderTree tree([&ui] { return ui.processPendingEvents(); });
        {
            const Hourglass hourglass(ui);
            tree.DeleteFolderTree(folder, "*.*", true);
        }
        tree.addRemovedFolder(folder);
        tree.removeCollectedFolders();
    });
}

}  // namespace

void UninstallProduct(Machine& machine, SetupUi& ui) {
    const std::string folder = recordedFolder(machine.registry(), ui);
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
    const std::string question =
        "Do you really want to delete all files and subdirs from\rthe directory " + folder;
    if (!ui.questionCanBeAnswered(question)) {
        ui.endProgram();
        return;
    }
    removeShortcuts(machine, ui);
    removeProductKey(machine.registry(), ui);
    if (ui.askYesNo(question)) deleteInstalledFolder(ui, folder);
    ui.showFinishPage("You have succesfully removed Quindor");
}

}  // namespace engine
