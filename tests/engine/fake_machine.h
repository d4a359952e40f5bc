#pragma once
// A machine for the engine's logic: a registry store of its own, recorded program runs, font
// families and shortcuts. Files stay real (tests use sandbox folders) but reading, writing
// and removing them can be made to fail; the user's folders and archive members can be
// given.

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

#include "engine/linux_machine.h"
#include "engine/machine.h"
#include "engine/setup_ui.h"
#include "platform/files.h"
#include "platform/profile_file.h"
#include "platform/registry.h"
#include "test_environment.h"

// Each concern is the fake itself, so that a test arranges and reads them in one place.
class FakeMachine : public engine::Machine,
                    public engine::RegistryStore,
                    public engine::Programs,
                    public engine::Files,
                    public engine::Archives,
                    public engine::Desktop {
    class NotedWork : public engine::PendingWork {
    public:
        NotedWork(FakeMachine& machine, std::string done)
            : m_machine(machine), m_done(std::move(done)) {}
        ~NotedWork() override {
            if (!m_finished) m_machine.note(m_done + " (when dropped)");
        }
        void finish(const std::function<void()>&) override {
            m_machine.note(m_done);
            m_finished = true;
        }

    private:
        FakeMachine& m_machine;
        std::string m_done;
        bool m_finished = false;
    };

    void note(const std::string& event) {
        fontRefreshes.push_back(event);
        if (workEvents) workEvents->push_back(event);
    }

public:
    engine::RegistryStore& registry() override { return *this; }
    engine::Programs& programs() override { return *this; }
    engine::Files& files() override { return *this; }
    engine::Archives& archives() override { return *this; }
    engine::Desktop& desktop() override { return *this; }

    // The registry is a real store in a folder of the fake's own, so that names, case and a
    // new system's keys follow the store's rules; reads and writes can be made to fail and
    // keys can be made to open for reading only.
    bool keyExists(engine::RootKey root, std::string_view key, bool fullAccess) override {
        if (registryReadFails) throw platform::ERegistryError("hive not readable");
        if (fullAccess && m_readOnlyMarks.readString(root, key, kReadOnlyMark)) return false;
        return m_store.keyExists(root, key, fullAccess);
    }
    std::optional<std::string> readString(engine::RootKey root, std::string_view key,
                                          std::string_view name) override {
        if (registryReadFails) throw platform::ERegistryError("hive not readable");
        return m_store.readString(root, key, name);
    }
    void writeString(engine::RootKey root, std::string_view key, std::string_view name,
                     std::string_view data) override {
        if (registryFails) throw platform::ERegistryError("hive not writable");
        m_store.writeString(root, key, name, data);
    }
    bool deleteKeyTree(engine::RootKey root, std::string_view key) override {
        if (keyDeletionFails) return false;
        return m_store.deleteKeyTree(root, key);
    }
    // The key exists but opens for reading only, as for a user without the rights to it.
    void markReadOnly(engine::RootKey root, std::string_view key) {
        m_readOnlyMarks.writeString(root, key, kReadOnlyMark, "");
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
    // Each refresh is noted when started and when finished (in fontRefreshes, and in
    // *workEvents when given, beside a user interface's own events).
    std::unique_ptr<engine::PendingWork> refreshFontFolder(const std::string& folder) override {
        note("font refresh started: " + folder);
        return std::make_unique<NotedWork>(*this, "font refresh finished: " + folder);
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
    void removeFileIfPresent(const std::string& path) override {
        if (unremovable.contains(path)) throw platform::ESystemError("Cannot remove", path, EACCES);
        shortcuts.erase(path);  // a shortcut made here goes with the file
        platform::removeFileIfPresent(path);
    }
    // Real files, read and written through the real machine; a reader or writer fails once it
    // would go past readFailsAfter / writeFailsAfter bytes.
    std::unique_ptr<engine::FileReader> openForReading(const std::string& path) override {
        filesRead.push_back(path);
        auto file = realFiles.openForReading(path);
        if (!file || !readFailsAfter) return file;
        return std::make_unique<FailingFile>(path, *readFailsAfter, std::move(file), nullptr);
    }
    std::unique_ptr<engine::FileWriter> createForWriting(const std::string& path) override {
        filesCreated.push_back(path);
        auto file = realFiles.createForWriting(path);
        if (!file || !writeFailsAfter) return file;
        return std::make_unique<FailingFile>(path, *writeFailsAfter, nullptr, std::move(file));
    }
    void writeProfileStrings(const std::string& file, const std::string& section,
                             const std::vector<platform::ProfileEntry>& entries) override {
        if (settingsFail) throw std::runtime_error("Unable to write to " + file);
        platform::writeProfileStrings(file, section, entries);
    }
    platform::UserFolders userFolders() override {
        return folders ? *folders : platform::userFolders();
    }
    std::vector<platform::ZipEntry> listArchive(const std::string& archive) override {
        if (listing) return *listing;
        return platform::listZipEntries(archive);
    }
    platform::FileDescriptor openArchive(const std::string& archive) override {
        archivesOpened.push_back(archive);
        return realArchives.openArchive(archive);
    }
    std::vector<platform::StrayFile> findStrayFiles(const std::string& folder,
                                                    bool removeLinks) override {
        return platform::findStrayFiles(folder, removeLinks);
    }
    std::optional<std::string> readArchiveMember(const std::string& archive,
                                                 std::string_view member,
                                                 std::size_t limit) override {
        archiveReads.push_back(archive + "|" + std::string(member));
        if (!members) return realArchives.readArchiveMember(archive, member, limit);
        auto it = members->find(std::string(member));
        if (it == members->end() || it->second.size() > limit) return std::nullopt;
        return it->second;
    }

    bool registryFails = false;      // writes raise
    bool registryReadFails = false;  // reads raise
    bool keyDeletionFails = false;   // deletions change nothing
    std::vector<std::vector<std::string>> runs;
    std::vector<std::size_t> inheritedCounts;
    std::function<platform::ProcessOutcome(const std::vector<std::string>&)> onRun;
    std::vector<std::vector<std::string>> started;
    bool startSucceeds = true;
    std::vector<std::string> families{"DejaVu Sans"};
    std::vector<std::string> registeredFonts;
    std::vector<std::string> fontRefreshes;
    std::vector<std::string>* workEvents = nullptr;
    std::map<std::string, platform::DesktopEntry> shortcuts;
    std::map<std::string, std::string> env;
    std::vector<std::string> foldersMade;
    bool settingsFail = false;
    std::optional<std::vector<platform::ZipEntry>> listing;  // what every archive lists, if set
    std::set<std::string> unremovable;                       // files that stay when removed
    std::optional<std::size_t> readFailsAfter, writeFailsAfter;
    std::vector<std::string> filesRead, filesCreated;
    std::optional<platform::UserFolders> folders;  // the user's folders, if set
    // The members every archive holds, if set.
    std::optional<std::map<std::string, std::string>> members;
    std::vector<std::string> archiveReads;  // "archive|member"
    std::vector<std::string> archivesOpened;

private:
    // A real file that raises, as a failing disc would, once more than limit bytes would pass.
    class FailingFile : public engine::FileReader, public engine::FileWriter {
    public:
        FailingFile(std::string path, std::size_t limit, std::unique_ptr<engine::FileReader> reader,
                    std::unique_ptr<engine::FileWriter> writer)
            : m_path(std::move(path)),
              m_limit(limit),
              m_reader(std::move(reader)),
              m_writer(std::move(writer)) {}
        std::size_t read(char* buffer, std::size_t size) override {
            pass(size, "Cannot read", EIO);
            return m_reader->read(buffer, size);
        }
        void writeAll(const char* data, std::size_t size) override {
            pass(size, "Cannot write", ENOSPC);
            m_writer->writeAll(data, size);
        }
        void close() override { m_writer->close(); }

    private:
        void pass(std::size_t size, const char* operation, int error) {
            if (size > m_limit - m_passed) throw platform::ESystemError(operation, m_path, error);
            m_passed += size;
        }
        std::string m_path;
        std::size_t m_limit;
        std::size_t m_passed = 0;
        std::unique_ptr<engine::FileReader> m_reader;
        std::unique_ptr<engine::FileWriter> m_writer;
    };

    // A folder of its own below the running test's sandbox.
    static std::string newFolder(const char* name) {
        std::string pattern = (testing_support::sandboxFolder() / name).string() + "-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make " + pattern);
        return pattern;
    }

    // Which keys open for reading only is kept in a store too, so that a key is found by
    // the same rules.
    static constexpr const char* kReadOnlyMark = "(opens for reading only)";
    platform::Registry m_store{newFolder("fake-registry")};
    platform::Registry m_readOnlyMarks{newFolder("read-only-keys")};
    engine::LinuxFiles realFiles;
    engine::LinuxArchives realArchives;
};

// Records what the procedures show and log.
class RecordingUi : public engine::SetupUi {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    bool questionCanBeAnswered(const std::string& text) override {
        preparedQuestions.push_back(text);
        return canAnswer;
    }
    void showProgressPage() override { events.push_back("progress page"); }
    void appendLogLine(const std::string& line) override { log.push_back(line); }
    void repaintLog() override { ++repaints; }
    void keepPainting() override { ++paintsWhileWaiting; }
    void showFinishPage(const std::string& outcome) override {
        events.push_back("finish page" + (outcome.empty() ? std::string() : ": " + outcome));
        messagesBeforeFinish = messages.size();
    }
    bool processPendingEvents() override {
        ++pendingEventRuns;
        if (pendingEventsFail) throw std::runtime_error("the event loop failed");
        return !terminate;
    }
    void setHourglass(bool on) override { events.push_back(on ? "hourglass" : "arrow"); }
    void endProgram() override { events.push_back("end program"); }

    std::vector<std::string> messages, questions, preparedQuestions, events, log;
    int repaints = 0, paintsWhileWaiting = 0, pendingEventRuns = 0;
    std::size_t messagesBeforeFinish = 0;  // how many messages were shown before the finish page
    bool answerYes = true;
    bool canAnswer = true;
    bool terminate = false;
    bool pendingEventsFail = false;
};
