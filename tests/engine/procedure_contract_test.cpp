// The install and uninstall procedures judged by what they leave on the machine, once on the
// fake and once on the real machine inside the test's sandbox (its HOME, XDG folders and
// registry folder): a real distribution, unpacked by each machine's extractor, with each
// machine's registry, fonts and shortcuts.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "engine/install.h"
#include "engine/linux_machine.h"
#include "engine/operations.h"
#include "engine/uninstall.h"
#include "fake_machine.h"
#include "install_log.h"
#include "platform/fonts.h"
#include "platform/zip_listing.h"
#include "read_file.h"
#include "test_distribution.h"
#include "test_environment.h"

namespace fs = std::filesystem;
using testing_support::readFile;

namespace {

std::string fontFolder() { return platform::userFolders().dataHome + "/fonts"; }

// What a test arranges and observes where the two machines differ.
class Backend {
public:
    virtual ~Backend() = default;
    virtual engine::Machine& machine() = 0;
    // Tahoma counts as installed from now on.
    virtual void addTahoma() = 0;
    // Both Tahoma faces of the font folder are known to the other programs.
    virtual bool tahomaRegistered() = 0;
    // The install made a shortcut at that file.
    virtual bool hasShortcut(const std::string& file) = 0;
};

// The fake, whose extractor unpacks the archive through the platform's own reader.
class FakeBackend : public Backend {
public:
    FakeBackend() { m_machine.onRun = unpack; }
    engine::Machine& machine() override { return m_machine; }
    void addTahoma() override { m_machine.families.push_back("Tahoma"); }
    bool tahomaRegistered() override {
        return m_machine.registeredFonts ==
               std::vector<std::string>{fontFolder() + "/TAHOMA.TTF",
                                        fontFolder() + "/TAHOMABD.TTF"};
    }
    bool hasShortcut(const std::string& file) override {
        return m_machine.shortcuts.contains(file);
    }

private:
    // "unzip -d FOLDER -o ARCHIVE", the archive being an open descriptor's path.
    static platform::ProcessOutcome unpack(const std::vector<std::string>& arguments) {
        const std::string bytes = readFile(arguments[4]);
        for (const platform::ZipEntry& entry : platform::listZipEntriesIn(bytes)) {
            const fs::path file = fs::path(arguments[2]) / platform::unpackedPath(entry.name);
            fs::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary)
                << *platform::readZipMemberIn(bytes, entry.name, 1u << 24);
        }
        platform::ProcessOutcome done;
        done.started = done.exitedNormally = true;
        return done;
    }

    FakeMachine m_machine;
};

class LinuxBackend : public Backend {
public:
    engine::Machine& machine() override { return m_machine; }
    void addTahoma() override {
        const fs::path fonts = testing_support::sandboxFolder() / "fonts";
        fs::create_directories(fonts);
        fs::copy_file("/usr/share/wine/fonts/tahoma.ttf", fonts / "tahoma.ttf");
        ASSERT_TRUE(platform::registerFontFile((fonts / "tahoma.ttf").string()));
    }
    bool tahomaRegistered() override {
        return engine::FontInstalled(m_machine.desktop(), "Tahoma");
    }
    bool hasShortcut(const std::string& file) override { return fs::exists(file); }

private:
    engine::LinuxMachine m_machine;
};

struct MachineKind {
    const char* name;
    std::function<std::unique_ptr<Backend>()> make;
};

const MachineKind kMachines[] = {
    {"Fake", [] { return std::unique_ptr<Backend>(std::make_unique<FakeBackend>()); }},
    {"Linux", [] { return std::unique_ptr<Backend>(std::make_unique<LinuxBackend>()); }},
};

std::string machineName(const testing::TestParamInfo<MachineKind>& info) { return info.param.name; }

// A failing case names its machine, not its bytes.
void PrintTo(const MachineKind& kind, std::ostream* out) { *out << kind.name; }

class ProcedureContract {
protected:
    void prepare(const MachineKind& kind) {
        backend = kind.make();
        root = testing_support::testFolder("contract");
        dist = testing_support::makeDistribution(root / "dist");
        choices.folderText = folder() + "/";
        choices.screenLanguageCode = "US";
        choices.dictionaryCodes = {"UK"};
    }
    engine::Machine& machine() { return backend->machine(); }
    void install() { engine::InstallProduct(machine(), ui, choices, dist); }
    std::string folder() const { return (root / "Quindor").string(); }
    std::optional<std::string> recorded() {
        return machine().registry().readString(engine::RootKey::LocalMachine, engine::kRecordKey,
                                               "");
    }
    static std::string desktopShortcut() {
        return platform::userFolders().desktop + "/Quindor.desktop";
    }
    static std::string applicationsShortcut() {
        return platform::userFolders().dataHome + "/applications/Quindor.desktop";
    }

    std::unique_ptr<Backend> backend;
    fs::path root;
    std::string dist;
    engine::InstallChoices choices;
    RecordingUi ui;
};

class MachineContract : public ProcedureContract, public testing::TestWithParam<MachineKind> {
protected:
    void SetUp() override { prepare(GetParam()); }
};

// What the user chose, and what the install must leave for it.
struct Choice {
    const char* name;
    std::string screenLanguage;
    std::vector<std::string> codes;
    bool desktop, startMenu, programs;
};

void PrintTo(const Choice& choice, std::ostream* out) { *out << choice.name; }

const std::vector<std::string> kAllCodes = {"UK", "US", "DA", "NL", "DE", "FR", "PL", "RU",
                                            "CZ", "SK", "SI", "IT", "SP", "SE", "ZA"};

const Choice kChoices[] = {
    {"OneDictionary", "US", {"UK"}, true, false, true},
    {"AllFifteenInRowOrder", "US", kAllCodes, true, true, true},
    {"DanskAndDanishWriteDKAndUnpackDA", "DK", {"DA"}, true, false, true},
    {"NoShortcutBoxChecked", "US", {"UK"}, false, false, false},
};

class ChoiceContract : public ProcedureContract,
                       public testing::TestWithParam<std::tuple<MachineKind, Choice>> {
protected:
    void SetUp() override { prepare(std::get<0>(GetParam())); }
};

}  // namespace

TEST_P(ChoiceContract, InstallLeavesWhatWasChosenAndLogsEveryStep) {
    const Choice& choice = std::get<1>(GetParam());
    choices.screenLanguageCode = choice.screenLanguage;
    choices.dictionaryCodes = choice.codes;
    choices.desktopShortcut = choice.desktop;
    choices.startMenuShortcut = choice.startMenu;
    choices.programsShortcut = choice.programs;
    install();
    EXPECT_EQ(ui.log, testing_support::logFor(choice.codes, true));
    EXPECT_EQ(ui.events, (std::vector<std::string>{"progress page", "finish page"}));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    EXPECT_TRUE(fs::exists(folder() + "/QUINDOR.EXE"));
    EXPECT_TRUE(fs::exists(folder() + "/INDEX.HTM"));
    for (const std::string& code : kAllCodes) {
        const bool chosen =
            std::find(choice.codes.begin(), choice.codes.end(), code) != choice.codes.end();
        EXPECT_EQ(fs::exists(folder() + "/QUINDOR/" + code + ".DIC"), chosen) << code;
    }
    EXPECT_EQ(readFile(folder() + "/MARLO.INI"),
              "[UserChoice]\r\nMarloLanguage=" + choice.screenLanguage +
                  "\r\nSpellLanguage=" + choice.screenLanguage + "\r\n");
    EXPECT_EQ(recorded(), folder() + "/");
    EXPECT_EQ(backend->hasShortcut(desktopShortcut()), choice.desktop);
    EXPECT_EQ(backend->hasShortcut(applicationsShortcut()), choice.startMenu || choice.programs);
}

INSTANTIATE_TEST_SUITE_P(Machines, ChoiceContract,
                         testing::Combine(testing::ValuesIn(kMachines),
                                          testing::ValuesIn(kChoices)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

TEST_P(MachineContract, MissingTahomaIsCopiedRecordedAndRegistered) {
    ASSERT_FALSE(machine().desktop().fontFamilies().empty());
    ASSERT_FALSE(engine::FontInstalled(machine().desktop(), "Tahoma"));
    install();
    const std::string fonts = fontFolder();
    EXPECT_EQ(readFile(fonts + "/TAHOMA.TTF"), readFile("/usr/share/wine/fonts/tahoma.ttf"));
    EXPECT_EQ(readFile(fonts + "/TAHOMABD.TTF"), readFile("/usr/share/wine/fonts/tahomabd.ttf"));
    EXPECT_FALSE(fs::exists(folder() + "/TAHOMA.TTF"));
    EXPECT_FALSE(fs::exists(folder() + "/TAHOMABD.TTF"));
    EXPECT_TRUE(backend->tahomaRegistered());
    EXPECT_EQ(machine().registry().readString(engine::RootKey::LocalMachine, engine::kFontsKey,
                                              "TAHOMA (TrueType)"),
              "TAHOMA.TTF");
    EXPECT_EQ(machine().registry().readString(engine::RootKey::LocalMachine, engine::kFontsKey,
                                              "TAHOMABD (TrueType)"),
              "TAHOMABD.TTF");
    EXPECT_EQ(ui.events.back(), "finish page");
}

TEST_P(MachineContract, PresentTahomaAndHelpClassSkipTheirSteps) {
    backend->addTahoma();
    machine().registry().writeString(engine::RootKey::LocalMachine, engine::kHelpClassKey, "",
                                     "chm");
    install();
    EXPECT_EQ(ui.log, testing_support::logFor({"UK"}, false));
    EXPECT_FALSE(fs::exists(folder() + "/INDEX.HTM"));
    EXPECT_TRUE(fs::exists(folder() + "/TAHOMA.TTF"));
    EXPECT_TRUE(fs::exists(folder() + "/TAHOMABD.TTF"));
    EXPECT_FALSE(fs::exists(fontFolder() + "/TAHOMA.TTF"));
    EXPECT_EQ(ui.events.back(), "finish page");
}

// Yes removes everything the install made; No keeps the folder but not the shortcuts and
// the record. The distribution is never touched.
TEST_P(MachineContract, UninstallRemovesWhatTheInstallMade) {
    choices.startMenuShortcut = true;
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        install();  // again after No, which kept the folder but took the record
        ASSERT_TRUE(backend->hasShortcut(desktopShortcut()));
        RecordingUi asked;
        asked.answerYes = yes;
        engine::UninstallProduct(machine(), asked);
        EXPECT_EQ(asked.questions,
                  std::vector<std::string>{
                      "Do you really want to delete all files and subdirs from\rthe directory " +
                      folder() + "/"});
        EXPECT_EQ(fs::exists(folder() + "/QUINDOR.EXE"), !yes);
        EXPECT_EQ(fs::exists(folder()), !yes);
        EXPECT_FALSE(backend->hasShortcut(desktopShortcut()));
        EXPECT_FALSE(backend->hasShortcut(applicationsShortcut()));
        EXPECT_FALSE(recorded());
        EXPECT_FALSE(machine().registry().keyExists(engine::RootKey::LocalMachine,
                                                    engine::kProductKey, false));
        EXPECT_EQ(asked.events.back(), "finish page: You have succesfully removed Quindor");
        EXPECT_TRUE(asked.messages.empty());
        EXPECT_TRUE(fs::exists(dist + "QUINDOR.ZIP"));
    }
}

TEST_P(MachineContract, UninstallWhenNeverInstalledEndsTheProgram) {
    engine::UninstallProduct(machine(), ui);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{
                  "You have never installed Quindor!\rSo we do not have to UnInstall it."});
    EXPECT_EQ(ui.events, std::vector<std::string>{"end program"});
    EXPECT_TRUE(ui.questions.empty());
}

INSTANTIATE_TEST_SUITE_P(Machines, MachineContract, testing::ValuesIn(kMachines), machineName);
