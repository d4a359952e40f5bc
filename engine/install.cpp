#include "install.h"

#include <fcntl.h>
#include <unistd.h>

#include "operations.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/system.h"
#include "platform/xdg_folders.h"
#include "platform/zip_listing.h"

namespace engine {

namespace {

const char* const kRecordKey = "Software\\Quindor\\InstallTO";
const char* const kHelpClassKey = "Software\\Classes\\.chm";

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
// opens, and the archive checked is the archive unpacked.
class OpenArchive {
public:
    explicit OpenArchive(const std::string& path) : m_file(platform::openFile(path, O_RDONLY)) {}
    int descriptor() const { return m_file.get(); }
    std::string descriptorPath() const { return "/dev/fd/" + std::to_string(m_file.get()); }

private:
    platform::FileDescriptor m_file;
};

// Runs the extractor for one archive of the distribution folder into the target folder.
void extract(Machine& machine, SetupUi& ui, const std::string& distributionFolder,
             const std::string& targetFolder, const std::string& archive) {
    CommandLine command = extractorCommand(distributionFolder, targetFolder, archive);
    OpenArchive open(distributionFolder + archive);
    if (open.descriptor() >= 0) {
        const auto entries = platform::listZipEntries(open.descriptorPath());
        if (entries) {
            for (const platform::ZipEntry& entry : *entries) {
                if (entry.isSymlink) {
                    // A link unpacked first could carry later entries outside the folder.
                    ui.showMessage(archive + " holds a symbolic link (" + entry.name +
                                   ") and was not unpacked.");
                    return;
                }
            }
        }
        command.arguments.back() = open.descriptorPath();
    }
    RunAndWait(machine, ui, command, open.descriptor());
}

// Copies the two Tahoma files into the font folder; they leave the installation folder
// whatever happens, and a failure then ends the install.
void installTahoma(Machine& machine, const std::string& folder) {
    const std::string windows = WindowsFolder(machine);
    const std::string fonts =
        windows.empty() ? platform::userFolders().dataHome + "/fonts" : windows + "/FONTS";
    const std::string regular = folder + "/TAHOMA.TTF";
    const std::string bold = folder + "/TAHOMABD.TTF";
    try {
        CreateFolderChain(fonts);
        InstallFontFile(machine, regular, fonts + "/TAHOMA.TTF");
        InstallFontFile(machine, bold, fonts + "/TAHOMABD.TTF");
    } catch (...) {
        platform::removeFile(regular);
        platform::removeFile(bold);
        throw;
    }
    platform::removeFile(regular);
    platform::removeFile(bold);
}

void createShortcuts(Machine& machine, const InstallChoices& choices, const std::string& target) {
    if (choices.desktopShortcut) CreateShortcut(machine, target, "", "Quindor.lnk", kDesktop);
    if (choices.startMenuShortcut) CreateShortcut(machine, target, "", "Quindor.lnk", kStartMenu);
    if (choices.programsShortcut) CreateShortcut(machine, target, "", "Quindor.lnk", kPrograms);
}

}  // namespace

void InstallProduct(Machine& machine, SetupUi& ui, const InstallChoices& choices,
                    const std::string& distributionFolder) {
    if (const std::string problem = installFolderProblem(choices.folderText); !problem.empty()) {
        ui.showMessage(problem);  // refused before anything changed
        return;
    }
    ui.showProgressPage();
    const std::string folder = installationFolder(choices.folderText);
    try {
        CreateFolderChain(folder);
    } catch (const std::exception&) {
        // The extractor makes the folder itself.
    }

    logStep(ui, "Extracting Quindor file...", 25, true);
    extract(machine, ui, distributionFolder, folder, "QUINDOR.ZIP");

    for (const std::string& code : choices.dictionaryCodes) {
        ui.appendLogLine("");
        logStep(ui, "Extracting language " + code, 22, true);
        extract(machine, ui, distributionFolder, folder + "/QUINDOR", code + ".ZIP");
    }

    if (!RegistryKeyExists(machine, RootKey::LocalMachine, kHelpClassKey)) {
        ui.appendLogLine("");
        logStep(ui, "Extracting HTML Quindor help files...", 36, true);
        extract(machine, ui, distributionFolder, folder, "HTMLhelp.ZIP");
    }

    ui.appendLogLine("");
    logStep(ui, "Creating MARLO.INI file", 22, false);
    const std::string settings = folder + "/MARLO.INI";
    platform::writeProfileString(settings, "UserChoice", "MarloLanguage", choices.screenLanguageCode);
    platform::writeProfileString(settings, "UserChoice", "SpellLanguage", choices.screenLanguageCode);

    ui.appendLogLine("");
    logStep(ui, "Testing/installing Tahoma font", 30, false);
    if (!FontInstalled(machine, "Tahoma")) installTahoma(machine, folder);

    ui.appendLogLine("");
    logStep(ui, "Creating shortcuts", 18, false);
    createShortcuts(machine, choices, folder + "/QUINDOR.EXE");

    WriteRegistryString(machine, RootKey::LocalMachine, kRecordKey, "", choices.folderText);
    ui.showFinishPage("");
}

std::string installationFolder(const std::string& folderText) {
    return platform::withoutFinalSeparator(folderText);
}

std::string installFolderProblem(const std::string& folderText) {
    if (folderText.empty()) return "Please enter the folder to install Quindor into.";
    if (folderText.front() != '/') {
        return "The folder " + folderText +
               " is not a full path (it must begin with /). Please choose the folder to install "
               "Quindor into.";
    }
    if (installationFolder(folderText).find_first_not_of('/') == std::string::npos) {
        return "Quindor cannot be installed into the root folder /. Please choose a folder.";
    }
    return {};
}

}  // namespace engine
