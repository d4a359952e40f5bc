#pragma once
// A machine for the engine's logic: an in-memory registry, recorded program runs, font
// families and shortcuts. Files stay real (tests use sandbox folders).

#include <filesystem>
#include <map>
#include <set>

#include "engine/machine.h"
#include "platform/files.h"
#include "platform/profile_file.h"
#include "engine/setup_ui.h"

class FakeMachine : public engine::Machine {
public:
    // Keys are stored lower-cased, as the store compares them without regard to case.
    static std::string keyOf(engine::RootKey root, std::string_view key) {
        std::string k = (root == engine::RootKey::LocalMachine ? "hklm\\" : "hkcu\\") + std::string(key);
        for (char& c : k) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return k;
    }
    bool keyExists(engine::RootKey root, std::string_view key, bool fullAccess) override {
        if (fullAccess && readOnly.count(keyOf(root, key))) return false;
        return keys.count(keyOf(root, key)) > 0;
    }
    std::optional<std::string> readString(engine::RootKey root, std::string_view key,
                                          std::string_view name) override {
        auto it = values.find(keyOf(root, key) + "|" + std::string(name));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void writeString(engine::RootKey root, std::string_view key, std::string_view name,
                     std::string_view data) override {
        if (registryFails) throw platform::RegistryError("hive not writable");
        keys.insert(keyOf(root, key));
        values[keyOf(root, key) + "|" + std::string(name)] = std::string(data);
    }
    bool deleteKeyTree(engine::RootKey root, std::string_view key) override {
        const std::string prefix = keyOf(root, key);
        bool any = false;
        for (auto it = keys.begin(); it != keys.end();) {
            if (*it == prefix || it->rfind(prefix + "\\", 0) == 0) {
                it = keys.erase(it);
                any = true;
            } else {
                ++it;
            }
        }
        for (auto it = values.begin(); it != values.end();) {
            if (it->first.rfind(prefix + "|", 0) == 0 || it->first.rfind(prefix + "\\", 0) == 0) {
                it = values.erase(it);
            } else {
                ++it;
            }
        }
        return any;
    }
    platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                        const std::function<void()>& whileWaiting,
                                        const std::vector<int>& inherited) override {
        runs.push_back(arguments);
        inheritedCounts.push_back(inherited.size());
        whileWaiting();
        if (onRun) return onRun(arguments);
        platform::ProcessOutcome outcome;
        outcome.started = true;
        outcome.exitedNormally = true;
        return outcome;
    }
    bool startDetached(const std::vector<std::string>& arguments, const std::string&) override {
        started.push_back(arguments);
        return startSucceeds;
    }
    std::vector<std::string> fontFamilies() override { return families; }
    bool registerFont(const std::string& file) override {
        registeredFonts.push_back(file);
        return true;
    }
    bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) override {
        shortcuts[file] = entry;
        return true;
    }
    std::optional<std::string> environment(const std::string& name) override {
        auto it = env.find(name);
        if (it == env.end()) return std::nullopt;
        return it->second;
    }

    // Files stay real (sandbox folders); the calls are recorded, and the settings file and
    // the archive checks can be made to fail.
    bool folderExists(const std::string& path) override { return platform::folderExists(path); }
    bool createFolder(const std::string& path) override {
        foldersMade.push_back(path);
        return platform::createFolder(path);
    }
    bool removeFile(const std::string& path) override { return platform::removeFile(path); }
    void writeProfileString(const std::string& file, const std::string& section, const std::string& key,
                            const std::string& value) override {
        if (settingsFail) throw std::runtime_error("Unable to write to " + file);
        platform::writeProfileString(file, section, key, value);
    }
    platform::UserFolders userFolders() override { return platform::userFolders(); }
    std::vector<platform::ZipEntry> listArchive(const std::string& archive) override {
        if (listing) return *listing;
        return platform::listZipEntries(archive);
    }
    std::vector<std::string> removeUnpackedLinks(const std::string& folder,
                                                 const std::vector<platform::ZipEntry>& entries) override {
        return platform::removeUnpackedLinks(folder, entries);
    }

    std::set<std::string> keys;
    std::set<std::string> readOnly;
    std::map<std::string, std::string> values;
    bool registryFails = false;
    std::vector<std::vector<std::string>> runs;
    std::vector<std::size_t> inheritedCounts;
    std::function<platform::ProcessOutcome(const std::vector<std::string>&)> onRun;
    std::vector<std::vector<std::string>> started;
    bool startSucceeds = true;
    std::vector<std::string> families{"DejaVu Sans"};
    std::vector<std::string> registeredFonts;
    std::map<std::string, platform::DesktopEntry> shortcuts;
    std::map<std::string, std::string> env;
    std::vector<std::string> foldersMade;
    bool settingsFail = false;
    std::optional<std::vector<platform::ZipEntry>> listing;  // what every archive lists, if set
};

// Records what the procedures show and log.
class RecordingUi : public engine::SetupUi {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    void showProgressPage() override { events.push_back("progress page"); }
    void appendLogLine(const std::string& line) override { log.push_back(line); }
    void repaintLog() override { ++repaints; }
    void keepPainting() override { ++paintsWhileWaiting; }
    void showFinishPage(const std::string& outcome) override {
        events.push_back("finish page" + (outcome.empty() ? std::string() : ": " + outcome));
    }
    bool processPendingEvents() override {
        ++pendingEventRuns;
        return !terminate;
    }
    void setHourglass(bool on) override { events.push_back(on ? "hourglass" : "arrow"); }
    void endProgram() override { events.push_back("end program"); }

    std::vector<std::string> messages, questions, events, log;
    int repaints = 0, paintsWhileWaiting = 0, pendingEventRuns = 0;
    bool answerYes = true;
    bool terminate = false;
};
