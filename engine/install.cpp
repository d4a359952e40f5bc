#include "install.h"

#include <memory>
#include <optional>
#include <utility>

#include "failure_rules.h"
#include "operations.h"
#include "platform/folder_guard.h"
#include "platform/folder_trust.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/zip_listing.h"
#include "product.h"

namespace engine {

namespace {

// The steps of the install whose failure is handled, and what a failure of each does.
enum class Step { FolderChain, ArchiveCheck, Extraction, SettingsFile, Font, Shortcut, Record };

// The one table of the install's failure rules.
constexpr std::pair<Step, OnFailure> kFailureRules[] = {
    // The extractor makes the folder itself.
    {Step::FolderChain, OnFailure::PassedOver},
    // An archive whose listing cannot be read, that holds a link, or after which the
    // installation folder holds one (or a device, pipe or socket): unpacking on could write
    // outside the folder, and the install must not look done.
    {Step::ArchiveCheck, OnFailure::Ends},
    // RunAndWait shows why an extractor could not start or failed; anything else it raises
    // is shown too.
    {Step::Extraction, OnFailure::Shown},
    {Step::SettingsFile, OnFailure::Ends},
    // After both font files have left the installation folder.
    {Step::Font, OnFailure::Ends},
    // Each shortcut on its own.
    {Step::Shortcut, OnFailure::PassedOver},
    // The files are there and usable, so the finish page comes all the same; but the
    // uninstall finds nothing to remove without the record, and the user must know that.
    {Step::Record, OnFailure::Shown},
};

// Runs one install step under its rule.
template <typename Action>
void runStep(SetupUi& ui, Step step, Action action) {
    engine::runStep(ui, ruleOf(kFailureRules, step), action);
}

// The log of one step: an optional empty line, the header, its underline of equal signs
// and an optional empty line; then the page is drawn before the step blocks.
void logStep(SetupUi& ui, const std::string& header, std::size_t underline, bool emptyAfter) {
    ui.appendLogLine(header);
    ui.appendLogLine(std::string(underline, '='));
    if (emptyAfter) ui.appendLogLine("");
    ui.repaintLog();
}

// An open archive handed to the extractor by descriptor, so that characters the extractor
// reads as patterns or options ('[', '*', '?', a leading '-') never change which file it
// opens, and the archive checked is the archive unpacked. Opened without waiting, so a
// named pipe in its place cannot block (the check then refuses it).
class OpenArchive {
public:
    OpenArchive(Archives& archives, const std::string& path) : m_file(archives.openArchive(path)) {}
    bool isOpen() const { return m_file.valid(); }
    int descriptor() const { return m_file.get(); }
    std::string descriptorPath() const { return "/dev/fd/" + std::to_string(m_file.get()); }

private:
    platform::FileDescriptor m_file;
};

// The archive may be unpacked: its listing can be read and holds no symbolic link (one
// unpacked first could carry later entries outside the folder).
void checkListing(Archives& archives, const std::string& archive, const OpenArchive& open) {
    std::vector<platform::ZipEntry> entries;
    try {
        entries = archives.listArchive(open.descriptorPath());
    } catch (const platform::EZipListingError& unreadable) {
        throw EEngineError(archive + " cannot be checked: " + unreadable.what() +
                           ". Nothing of it was unpacked.");
    }
    for (const platform::ZipEntry& entry : entries) {
        if (entry.isSymlink) {
            throw EEngineError(archive + " holds a symbolic link (" + entry.name +
                               ") and was not unpacked.");
        }
    }
}

// After the extraction the whole installation folder, not only what the listing named, holds
// nothing the next extraction could be led through, and nothing an archive of the product
// does not hold. Links found are removed.
void checkUnpacked(Archives& archives, const std::string& archive, const std::string& folder) {
    std::vector<platform::StrayFile> strays;
    try {
        strays = archives.findStrayFiles(folder, true);
    } catch (const platform::ESystemError& failure) {
        throw EEngineError(archive +
                           " was unpacked, but the installation folder could not be checked (" +
                           failure.what() + "); the installation was stopped.");
    }
    if (strays.empty()) return;
    const platform::StrayFile& first = strays.front();
    if (first.removed) {
        throw EEngineError(archive + " unpacked a symbolic link (" + first.path +
                           "); it was removed and the installation was stopped.");
    }
    throw EEngineError(archive + " left " + first.kind + " (" + first.path +
                       ") in the installation folder; the installation was stopped.");
}

// Why the installation folder as it stands cannot take the archives, or empty: something in
// it that is no regular file or folder (a link would lead the extractor elsewhere).
std::string strayFileProblem(Archives& archives, const std::string& folder) {
    std::vector<platform::StrayFile> strays;
    try {
        strays = archives.findStrayFiles(folder, false);
    } catch (const platform::ESystemError& failure) {
        return "The folder " + folder + " cannot be checked (" + failure.what() +
               "). Please choose another folder.";
    }
    if (strays.empty()) return {};
    return "The folder " + folder + " holds " + strays.front().kind + " (" + strays.front().path +
           "), which the archives could be unpacked through. Please choose another folder.";
}

// Runs the extractor for one archive of the distribution folder into the target folder
// within the installation folder. An archive that cannot be opened is still handed over by
// name: the extractor then reports it missing.
void extract(Machine& machine, SetupUi& ui, const std::string& distributionFolder,
             const std::string& folder, const std::string& targetFolder,
             const std::string& archive) {
    CommandLine command = extractorCommand(distributionFolder, targetFolder, archive);
    const OpenArchive open(machine.archives(), distributionFolder + archive);
    if (open.isOpen()) {
        runStep(ui, Step::ArchiveCheck, [&] { checkListing(machine.archives(), archive, open); });
        command.arguments.back() = open.descriptorPath();
    }
    runStep(ui, Step::Extraction,
            [&] { RunAndWait(machine.programs(), ui, command, open.descriptor()); });
    runStep(ui, Step::ArchiveCheck, [&] { checkUnpacked(machine.archives(), archive, folder); });
}

// The two Tahoma files leave the installation folder however the font step ends.
class TahomaFilesRemoved {
public:
    TahomaFilesRemoved(Files& files, const std::string& folder)
        : m_files(files), m_folder(folder) {}
    ~TahomaFilesRemoved() {
        for (const char* file : kTahomaFiles) m_files.removeFile(m_folder + "/" + file);
    }
    TahomaFilesRemoved(const TahomaFilesRemoved&) = delete;
    TahomaFilesRemoved& operator=(const TahomaFilesRemoved&) = delete;

private:
    Files& m_files;
    std::string m_folder;
};

// Copies the two Tahoma files into the font folder, records and registers them. Returns the
// refresh of the font folder for the other programs, which runs while the install goes on.
std::unique_ptr<PendingWork> installTahoma(Machine& machine, const std::string& folder) {
    const TahomaFilesRemoved removed(machine.files(), folder);
    const std::string windows = WindowsFolder(machine.programs());
    const std::string fonts =
        windows.empty() ? machine.desktop().userFolders().dataHome + "/fonts" : windows + "/FONTS";
    CreateFolderChain(machine.files(), fonts);
    for (const char* file : kTahomaFiles) {
        InstallFontFile(machine, folder + "/" + file, fonts + "/" + file);
    }
    return machine.desktop().refreshFontFolder(fonts);
}

void createShortcut(Machine& machine, SetupUi& ui, const std::string& target, unsigned kind) {
    runStep(ui, Step::Shortcut, [&] {
        if (!CreateShortcut(machine, target, "", kShortcutName, kind)) {
            throw EEngineError("The shortcut " + std::string(kShortcutName) + " was not made.");
        }
    });
}

void createShortcuts(Machine& machine, SetupUi& ui, const InstallChoices& choices,
                     const std::string& target) {
    if (choices.desktopShortcut) createShortcut(machine, ui, target, kDesktop);
    if (choices.startMenuShortcut) createShortcut(machine, ui, target, kStartMenu);
    if (choices.programsShortcut) createShortcut(machine, ui, target, kPrograms);
}

void writeSettings(Files& files, SetupUi& ui, const std::string& folder,
                   const std::string& languageCode) {
    const std::string settings = folder + "/" + kSettingsFile;
    runStep(ui, Step::SettingsFile, [&] {
        files.writeProfileStrings(
            settings, kSettingsSection,
            {{kScreenLanguageKey, languageCode}, {kSpellLanguageKey, languageCode}});
    });
}

// Writes the record the uninstall looks for.
void recordInstallation(RegistryStore& registry, const std::string& folderText) {
    if (const std::optional<std::string> cause = WriteRegistryString(
            registry, RootKey::LocalMachine, kRecordKey, "", folderToRecord(folderText))) {
        throw EEngineError("The installation could not be recorded (" + *cause +
                           "). The setup program will not be able to remove Quindor.");
    }
}

}  // namespace

void InstallProduct(Machine& machine, SetupUi& ui, const InstallChoices& choices,
                    const std::string& distributionFolder) {
    if (const std::string problem = installFolderProblem(choices.folderText); !problem.empty()) {
        ui.showMessage(problem);  // refused before anything changed
        return;
    }
    // Everything goes where the check looked: the folder as the system resolves it.
    const std::string folder = installationFolder(choices.folderText);
    if (const std::string problem = strayFileProblem(machine.archives(), folder);
        !problem.empty()) {
        ui.showMessage(problem);  // refused before anything changed
        return;
    }
    ui.showProgressPage();
    runStep(ui, Step::FolderChain, [&] { CreateFolderChain(machine.files(), folder); });

    logStep(ui, "Extracting Quindor file...", 25, true);
    extract(machine, ui, distributionFolder, folder, folder, kMainArchive);

    for (const std::string& code : choices.dictionaryCodes) {
        ui.appendLogLine("");
        logStep(ui, "Extracting language " + code, 22, true);
        extract(machine, ui, distributionFolder, folder, folder + "/" + kDictionaryFolder,
                code + kArchiveExtension);
    }

    if (!RegistryKeyExists(machine.registry(), RootKey::LocalMachine, kHelpClassKey)) {
        ui.appendLogLine("");
        logStep(ui, "Extracting HTML Quindor help files...", 36, true);
        extract(machine, ui, distributionFolder, folder, folder, kHelpArchive);
    }

    ui.appendLogLine("");
    logStep(ui, "Creating MARLO.INI file", 22, false);
    writeSettings(machine.files(), ui, folder, choices.screenLanguageCode);

    ui.appendLogLine("");
    logStep(ui, "Testing/installing Tahoma font", 30, false);
    std::unique_ptr<PendingWork> fontRefresh;
    runStep(ui, Step::Font, [&] {
        if (!FontInstalled(machine.desktop(), kTahomaFamily))
            fontRefresh = installTahoma(machine, folder);
    });

    ui.appendLogLine("");
    logStep(ui, "Creating shortcuts", 18, false);
    createShortcuts(machine, ui, choices, folder + "/" + kProgramFile);

    runStep(ui, Step::Record, [&] { recordInstallation(machine.registry(), choices.folderText); });
    // Done means the other programs can find the font too.
    if (fontRefresh) fontRefresh->finish([&ui] { ui.keepPainting(); });
    ui.showFinishPage("");
}

std::string installationFolder(const std::string& folderText) {
    if (folderText.empty() || folderText.front() != '/') {
        return platform::withoutFinalSeparator(folderText);
    }
    return platform::resolvedFolder(folderText);
}

std::string folderToRecord(const std::string& folderText) {
    const std::string folder = installationFolder(folderText);
    if (folder == platform::lexicallyNormal(folderText)) return folderText;
    return folderText.ends_with('/') ? folder + '/' : folder;
}

std::string installFolderProblem(const std::string& folderText) {
    if (folderText.empty()) return "Please enter the folder to install Quindor into.";
    if (folderText.front() != '/') {
        return "The folder " + folderText +
               " is not a full path (it must begin with /). Please choose the folder to install "
               "Quindor into.";
    }
    if (folderText.find('\0') != std::string::npos) {
        return "The folder name holds a NUL character. Please choose the folder to install "
               "Quindor into.";
    }
    if (auto refusal = platform::installRefusalReason(folderText)) return *refusal;
    return platform::untrustedFolderReason(installationFolder(folderText)).value_or(std::string());
}

}  // namespace engine
