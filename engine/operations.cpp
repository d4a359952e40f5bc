#include "operations.h"

#include <algorithm>
#include <array>
#include <memory>

#include "platform/desktop_entry.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace engine {

namespace {

constexpr std::size_t kCopyChunk = 8192;

// The value under "Shell Folders" for kinds 1 to 11.
constexpr std::array<const char*, 12> kShellFolderValues = {
    nullptr,    "Desktop", "Favorites", "Fonts",      "NetHood", "Personal",
    "Programs", "Recent",  "SendTo",    "Start Menu", "Startup", "Templates",
};

std::string stem(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

}  // namespace

std::string ShellFolderPath(RegistryStore& registry, unsigned kind) {
    if (kind == kLinkFolder || kind >= kShellFolderValues.size()) return {};
    return registry.readString(RootKey::CurrentUser, kShellFoldersKey, kShellFolderValues[kind])
        .value_or(std::string());
}

bool CreateShortcut(Machine& machine, const std::string& target, const std::string& arguments,
                    const std::string& linkName, unsigned kind) {
    const platform::DesktopEntry entry{stem(platform::fileNamePart(linkName)), target, arguments,
                                       platform::folderPart(target)};
    const std::string folder = kind == kLinkFolder
                                   ? platform::withoutFinalSeparator(platform::folderPart(linkName))
                                   : ShellFolderPath(machine.registry(), kind);
    // Without a folder the link would land in the file-system root: nothing is made then.
    if (folder.empty()) return false;
    if (!FolderExists(machine.files(), folder)) machine.files().createFolder(folder);
    const std::string file =
        folder + "/" + platform::desktopEntryFileName(platform::fileNamePart(linkName));
    return machine.desktop().writeShortcut(file, entry);
}

bool FolderExists(Files& files, const std::string& path) { return files.folderExists(path); }

bool CreateFolder(Files& files, const std::string& path) { return files.createFolder(path); }

void CreateFolderChain(Files& files, const std::string& path) {
    if (path.empty()) throw EEngineError("Unable to create directory");
    const std::string folder = platform::withoutFinalSeparator(path);
    if (folder.empty() || FolderExists(files, folder)) return;  // the root, or there already
    const std::string parent = platform::folderPart(folder);
    if (parent == folder) return;
    CreateFolderChain(files, parent);
    files.createFolder(folder);
}

void CopyFileChunked(Files& files, const std::string& source, const std::string& destination) {
    const std::string target = platform::absolutePath(destination);
    std::vector<char> buffer(kCopyChunk);
    const std::unique_ptr<FileReader> input = files.openForReading(source);
    if (!input) throw EEngineError("Cannot open file " + source);
    // A copy that does not complete is removed when output goes.
    const std::unique_ptr<FileWriter> output = files.createForWriting(target);
    if (!output) throw EEngineError("Cannot create file " + target);
    // A read returns fewer bytes than asked only at the end of the file.
    for (;;) {
        const std::size_t count = input->read(buffer.data(), buffer.size());
        if (count > 0) output->writeAll(buffer.data(), count);
        if (count < buffer.size()) break;
    }
    output->close();
}

void InstallFontFile(Machine& machine, const std::string& source, const std::string& destination) {
    CopyFileChunked(machine.files(), source, destination);
    const std::string fileName = platform::fileNamePart(source);
    // Each font file keeps an entry of its own, named after the file.
    const std::string valueName = stem(fileName) + " (TrueType)";
    try {
        if (!machine.registry().keyExists(RootKey::LocalMachine, kFontsKey, true)) {
            throw platform::ERegistryError("font key missing");
        }
        machine.registry().writeString(RootKey::LocalMachine, kFontsKey, valueName, fileName);
    } catch (const platform::ERegistryError&) {
        throw EEngineError("Failed to set data for '" + valueName + "'");
    }
    machine.desktop().registerFont(destination);
}

std::optional<std::string> WriteRegistryString(RegistryStore& registry, RootKey root,
                                               const std::string& key, const std::string& name,
                                               const std::string& data) {
    try {
        registry.writeString(root, key, name, data);
    } catch (const std::exception& failure) {
        return failure.what();
    }
    return std::nullopt;
}

bool RegistryKeyExists(RegistryStore& registry, RootKey root, const std::string& key) {
    try {
        return registry.keyExists(root, key, true);
    } catch (const std::exception&) {
        return false;
    }
}

void RunAndWait(Programs& programs, SetupUi& ui, const CommandLine& command, int descriptor) {
    std::vector<int> inherited;
    if (descriptor >= 0) inherited.push_back(descriptor);
    const platform::ProcessOutcome outcome = programs.runAndWait(
        command.arguments, [&ui] { ui.keepPainting(); }, inherited);
    if (!outcome.started) {
        ui.showMessage("Executing \r" + command.text + "\r failed!");
    } else if (!outcome.exitedNormally) {
        ui.showMessage(command.text + "\rwas ended by signal " + std::to_string(outcome.signal) +
                       ".");
    } else if (outcome.exitStatus != 0) {
        ui.showMessage(command.text + "\rended with exit status " +
                       std::to_string(outcome.exitStatus) + ".");
    }
}

std::string WindowsFolder(Programs& programs) {
    std::string folder = programs.environment("windir").value_or(std::string());
    if (folder.size() > 255) folder.resize(255);
    return folder;
}

bool FontInstalled(Desktop& desktop, const std::string& face) {
    const std::vector<std::string> families = desktop.fontFamilies();
    return std::find(families.begin(), families.end(), face) != families.end();
}

}  // namespace engine
