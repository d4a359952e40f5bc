// The pages' Tahoma faces come from the distribution's main archive through the machine.

#include "engine/page_fonts.h"

#include <gtest/gtest.h>

#include "fake_machine.h"

namespace {

class PageFacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine.families = {"DejaVu Sans"};
        machine.members =
            std::map<std::string, std::string>{{"TAHOMA.TTF", "regular"}, {"TAHOMABD.TTF", "bold"}};
    }
    FakeMachine machine;
};

}  // namespace

TEST_F(PageFacesTest, MissingTahomaIsReadFromTheMainArchiveInBothFaces) {
    EXPECT_EQ(engine::pageFacesToLoad(machine, "/media/cd/"),
              (std::vector<std::string>{"regular", "bold"}));
    EXPECT_EQ(machine.archiveReads,
              (std::vector<std::string>{"/media/cd/QUINDOR.ZIP|TAHOMA.TTF",
                                        "/media/cd/QUINDOR.ZIP|TAHOMABD.TTF"}));
}

TEST_F(PageFacesTest, InstalledTahomaReadsNothing) {
    machine.families = {"Tahoma"};
    EXPECT_TRUE(engine::pageFacesToLoad(machine, "/media/cd/").empty());
    EXPECT_TRUE(machine.archiveReads.empty());
}

TEST_F(PageFacesTest, MissingOrOversizedFacesAreLeftOut) {
    machine.members = std::map<std::string, std::string>{{"TAHOMABD.TTF", "bold"}};
    EXPECT_EQ(engine::pageFacesToLoad(machine, "/d/"), std::vector<std::string>{"bold"});
    (*machine.members)["TAHOMA.TTF"] = std::string((4u << 20) + 1, 'x');
    EXPECT_EQ(engine::pageFacesToLoad(machine, "/d/"), std::vector<std::string>{"bold"});
    machine.members->clear();
    EXPECT_TRUE(engine::pageFacesToLoad(machine, "/d/").empty());
}
