// The scaling on a page without a window: adaptation to the screen, the first rescale,
// proportional rescaling with its switches and font rules, hidden controls, labels and
// proportions.

#include <gtest/gtest.h>

#include <algorithm>

#include "elastic/rounding.h"
#include "fake_page.h"

namespace {

using elastic::Bounds;
using elastic::FormScaler;
using elastic::Screen;
using elastic::Size;
using elastic_testing::FakeForm;
using elastic_testing::FakeNode;

class FormScalerTest : public ::testing::Test {
protected:
    void build(Screen screen) {
        scaler = std::make_unique<FormScaler>(form, screen);
        elastic_testing::designWelcomePage(form, scaler->settings());
        scaler->setFontSize(8);
    }
    // What the component does up to the first show: adapt, take the scaled bounds, rescale.
    void show() {
        scaler->AdaptToScreen();
        form.outer = scaler->scaledBounds();
        scaler->Rescale();
    }
    FakeNode& control(const std::string& name) {
        for (auto& child : form.root.children) {
            if (child->name == name) return *child;
        }
        throw std::runtime_error("no control " + name);
    }
    std::vector<Bounds> allBounds() {
        std::vector<Bounds> result;
        for (auto& child : form.root.children) result.push_back(child->bounds);
        return result;
    }

    FakeForm form;
    std::unique_ptr<FormScaler> scaler;
};

TEST_F(FormScalerTest, DesignScreenKeepsDesignBoundsCentred) {
    build({800, 600, 96});
    const std::vector<Bounds> designed = allBounds();
    show();
    EXPECT_EQ(scaler->scaledBounds(), (Bounds{213, 119, 373, 361}));
    EXPECT_EQ(allBounds(), designed);
    EXPECT_EQ(scaler->fontSize(), 8);
}

TEST_F(FormScalerTest, LargerScreenScalesFromDesignScreen) {
    build({1024, 768, 96});
    show();
    // 1.28 on both axes: 373 x 1.28 = 477.44, 361 x 1.28 = 462.08.
    EXPECT_EQ(scaler->scaledBounds(), (Bounds{(1024 - 477) / 2, (768 - 462) / 2, 477, 462}));
    EXPECT_EQ(control("Button2").bounds, (Bounds{10, 379, 96, 32}));  // left 10.24, width 96
    EXPECT_EQ(scaler->fontSize(), 10);  // 8 x 1.28 = 10.24, even with ElasticFont off
}

TEST_F(FormScalerTest, DesignScreenSetAfterCreationIsTheOneUsed) {
    build({1280, 1024, 96});
    // As a creation handler does, after the component was created.
    scaler->settings().DesignScreenWidth = 1024;
    scaler->settings().DesignScreenHeight = 768;
    show();
    EXPECT_EQ(scaler->scaledBounds().width, 466);   // 373 x 1.25 = 466.25
    EXPECT_EQ(scaler->scaledBounds().height, 481);  // 361 x 1.3333 = 481.33
}

TEST_F(FormScalerTest, DoublingTheClientDoublesAndComesBackWithoutDrift) {
    build({800, 600, 96});
    show();
    const std::vector<Bounds> base = allBounds();
    for (int round = 0; round < 3; ++round) {
        form.setClientSize(2 * 365, 2 * 334);
        scaler->Rescale();
        for (std::size_t i = 0; i < base.size(); ++i) {
            const Bounds b = form.root.children[i]->bounds;
            EXPECT_EQ(b, (Bounds{2 * base[i].left, 2 * base[i].top, 2 * base[i].width,
                                 2 * base[i].height}));
        }
        form.setClientSize(365 + 37, 334 + 11);  // an odd size in between
        scaler->Rescale();
        form.setClientSize(365, 334);
        scaler->Rescale();
        EXPECT_EQ(allBounds(), base) << "round " << round;
    }
}

TEST_F(FormScalerTest, SwitchedOffAxisKeepsItsBaseValues) {
    build({800, 600, 96});
    scaler->settings().ElasticHorizontal = false;
    show();
    form.setClientSize(730, 668);
    scaler->Rescale();
    EXPECT_EQ(control("Button3").bounds, (Bounds{272, 592, 75, 50}));
    scaler->settings().ElasticHorizontal = true;
    scaler->settings().ElasticVertical = false;
    scaler->Rescale();
    EXPECT_EQ(control("Button3").bounds, (Bounds{544, 296, 150, 25}));
}

TEST_F(FormScalerTest, BoundsAreSetInOneCallPerRescale) {
    build({800, 600, 96});
    show();
    form.setClientSize(500, 400);
    const int before = control("Memo1").setBoundsCalls;
    scaler->Rescale();
    EXPECT_EQ(control("Memo1").setBoundsCalls, before + 1);
}

// The font target is the form's outer width over the base client width (here 400): an
// outer width of 425 gives 8 x 1.0625 = 8.5 and so 8, 428 gives 8.56 and so 9.
struct FontCase {
    int outerWidth;
    int controlFont;
    int formFont;
};

class FontRuleTest : public FormScalerTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(FontRuleTest, OwnFontsRoundHalfDownFormFontRoundsEven) {
    build({800, 600, 96});
    scaler->settings().ElasticFont = true;
    form.root.children.clear();
    FakeNode& own = form.root.add("Label1", {8, 8, 100, 13});
    own.parentFont = false;
    scaler->settings().DesignFormWidth = 408;
    scaler->settings().DesignFormHeight = 1027;  // client 400 x 1000
    show();
    form.outer.width = GetParam().outerWidth;
    form.outer.height = 2000;  // so that the width decides
    scaler->Rescale();
    EXPECT_EQ(own.fontSize, GetParam().controlFont);
    EXPECT_EQ(scaler->fontSize(), GetParam().formFont);
}

INSTANTIATE_TEST_SUITE_P(Halves, FontRuleTest,
                         ::testing::Values(FontCase{425, 8, 8}, FontCase{428, 9, 9},
                                           FontCase{816, 16, 16}, FontCase{408, 8, 8}));

TEST_F(FormScalerTest, FontsStayWithElasticFontOff) {
    build({800, 600, 96});
    FakeNode& own = control("Memo1");
    own.parentFont = false;
    own.fontSize = 14;
    show();
    form.setClientSize(730, 668);
    scaler->Rescale();
    EXPECT_EQ(own.fontSize, 14);
    EXPECT_EQ(scaler->fontSize(), 8);
}

TEST_F(FormScalerTest, AdaptationHidesUntilTheFirstRescaleShowsLastToFirst) {
    build({800, 600, 96});
    control("RadioButton2").visible = false;
    scaler->AdaptToScreen();
    for (auto& child : form.root.children) EXPECT_TRUE(child->hidden) << child->name;
    form.outer = scaler->scaledBounds();
    form.log.clear();
    scaler->Rescale();
    for (auto& child : form.root.children) EXPECT_FALSE(child->hidden) << child->name;
    EXPECT_EQ(form.log.front(), "show RadioButton2");
    EXPECT_EQ(form.log.back(), "show Image1");
    EXPECT_FALSE(control("RadioButton2").visible);
}

TEST_F(FormScalerTest, HiddenRescaleRepaintsOnceAndKeepsVisible) {
    build({800, 600, 96});
    show();
    control("Memo1").visible = false;  // hidden by the page's own code after the start
    form.log.clear();
    form.setClientSize(500, 400);
    scaler->rescaleWithControlsHidden();
    const std::vector<std::string> expected{"remember focus",    "hide Image1", "hide Button2",
                                            "hide Button3",      "hide Memo1",  "hide RadioButton1",
                                            "hide RadioButton2", "repaint",     "show RadioButton2",
                                            "show RadioButton1", "show Memo1",  "show Button3",
                                            "show Button2",      "show Image1", "focus back"};
    EXPECT_EQ(form.log, expected);
    EXPECT_FALSE(control("Memo1").visible);
    EXPECT_TRUE(control("Button2").visible);
}

TEST_F(FormScalerTest, NothingHappensWhileTheBorderIsDragged) {
    build({800, 600, 96});
    scaler->AdaptToScreen();
    form.outer = scaler->scaledBounds();
    scaler->setDragInProgress(true);
    scaler->Rescale();
    EXPECT_TRUE(scaler->firstRescalePending());
    scaler->setDragInProgress(false);
    scaler->Rescale();
    form.setClientSize(600, 600);
    scaler->setDragInProgress(true);
    scaler->Rescale();
    EXPECT_EQ(control("Button3").bounds, (Bounds{272, 296, 75, 25}));
}

TEST_F(FormScalerTest, LabelsAreMeasuredAgainAfterTheirBounds) {
    build({800, 600, 96});
    FakeNode& fixed = form.root.add("Label1", {10, 10, 50, 13});
    fixed.label = true;
    fixed.text = {80, 10};  // wider than its bounds, lower
    FakeNode& automatic = form.root.add("Label2", {10, 40, 30, 13});
    automatic.label = true;
    automatic.autoSize = true;
    automatic.text = {30, 13};
    show();
    // Grown to its text where that is wider, never below its own scaled bounds.
    EXPECT_EQ(fixed.bounds, (Bounds{10, 10, 80, 13}));
    EXPECT_FALSE(fixed.autoSize);
    EXPECT_EQ(automatic.bounds, (Bounds{10, 40, 30, 13}));
    EXPECT_TRUE(automatic.autoSize);
    form.log.clear();
    form.setClientSize(730, 668);
    scaler->Rescale();
    EXPECT_EQ(fixed.bounds, (Bounds{20, 20, 100, 26}));
    const auto count = [&](const std::string& s) {
        return std::count(form.log.begin(), form.log.end(), s);
    };
    EXPECT_EQ(count("autosize on Label1"), 1);
    EXPECT_EQ(count("autosize off Label2"), 1);
    EXPECT_EQ(count("autosize on Label2"), 1);
}

TEST_F(FormScalerTest, OtherAutoSizedControlsAreToggled) {
    build({800, 600, 96});
    FakeNode& edit = control("Memo1");
    edit.properties = {"AutoSize"};
    edit.autoSize = true;
    show();
    EXPECT_NE(std::find(form.log.begin(), form.log.end(), "autosize off Memo1"), form.log.end());
    EXPECT_TRUE(edit.autoSize);
}

TEST_F(FormScalerTest, CollectionSkipsUnnamedAndPagesButNotTheirChildren) {
    build({800, 600, 96});
    form.root.children.clear();
    FakeNode& pages = form.root.add("PageControl1", {0, 0, 200, 200});
    pages.properties = {"pageindex", "Pages"};  // a page control: scaled
    FakeNode& sheet = pages.add("TabSheet1", {4, 24, 192, 172});
    sheet.properties = {"PageIndex"};  // one of its pages: not scaled itself
    sheet.add("Button1", {8, 8, 75, 25});
    FakeNode& unnamed = form.root.add("", {0, 0, 50, 50});
    unnamed.add("Edit1", {2, 2, 40, 21});
    show();
    std::vector<std::string> listed;
    for (const auto& c : scaler->controls()) listed.push_back(c->name());
    EXPECT_EQ(listed, (std::vector<std::string>{"PageControl1", "Button1", "Edit1"}));
    form.setClientSize(2 * 365, 2 * 334);
    scaler->Rescale();
    EXPECT_EQ(sheet.bounds, (Bounds{4, 24, 192, 172}));
    EXPECT_EQ(sheet.children[0]->bounds, (Bounds{16, 16, 150, 50}));
}

TEST_F(FormScalerTest, MaximizedPageTakesTheDesignScreen) {
    build({800, 600, 96});
    form.isMaximized = true;
    form.centred = false;
    scaler->settings().MaximizedPosX = -10;  // 10 percent of the design screen's width
    scaler->settings().MaximizedPosY = 5;
    scaler->AdaptToScreen();
    EXPECT_EQ(scaler->settings().DesignFormLeft, 80);
    EXPECT_EQ(scaler->settings().DesignFormTop, 5);
    // 80 + 800 is off the screen: centred, then clamped at 0.
    EXPECT_EQ(scaler->scaledBounds(), (Bounds{0, 0, 800, 600}));
}

TEST_F(FormScalerTest, PlacementIsCentredWhenItLeavesTheScreen) {
    build({800, 600, 96});
    form.centred = false;
    scaler->settings().DesignFormLeft = 700;
    scaler->settings().DesignFormTop = 10;
    scaler->AdaptToScreen();
    EXPECT_EQ(scaler->scaledBounds(), (Bounds{(800 - 373) / 2, 10, 373, 361}));
}

TEST_F(FormScalerTest, BorderlessPageUsesTheClientSize) {
    build({1024, 768, 96});
    form.border = false;
    scaler->AdaptToScreen();
    EXPECT_EQ(scaler->scaledBounds().width, 467);   // 365 x 1.28 = 467.2
    EXPECT_EQ(scaler->scaledBounds().height, 428);  // 334 x 1.28 = 427.52
}

struct ProportionCase {
    Size start;
    Size now;
    Size kept;
};

class KeepProportionsTest : public ::testing::TestWithParam<ProportionCase> {};

TEST_P(KeepProportionsTest, SizeFollowsTheSideThatChangedMost) {
    const ProportionCase c = GetParam();
    EXPECT_EQ(elastic::keptProportions(c.start, c.now), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, KeepProportionsTest,
    ::testing::Values(ProportionCase{{400, 300}, {500, 320}, {500, 375}},  // grew, mostly wider
                      ProportionCase{{400, 300}, {420, 400}, {533, 400}},  // grew, mostly higher
                      ProportionCase{
                          {400, 300}, {300, 290}, {300, 225}},  // shrank, mostly narrower
                      ProportionCase{{400, 300}, {390, 200}, {267, 200}},  // shrank, mostly lower
                      ProportionCase{{400, 300}, {450, 350}, {450, 350}},  // equal changes
                      ProportionCase{{0, 300}, {450, 350}, {450, 350}}));  // no start size

TEST_F(FormScalerTest, KeepProportionsResizesTheFormOnlyWhenNeeded) {
    build({800, 600, 96});
    show();
    form.outer = {10, 10, 400, 300};
    scaler->setDragStartSize({400, 300});
    form.outer.width = 500;
    form.outer.height = 320;
    form.log.clear();
    scaler->rescaleWithControlsHidden(true);
    EXPECT_EQ(form.outer, (Bounds{10, 10, 500, 375}));
    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "resize 500x375"), 1);
}

}  // namespace

namespace {

TEST(KeepProportionsAlone, UnchangedSizeStillLaysOut) {
    elastic_testing::FakeForm form;
    elastic::FormScaler scaler(form, {800, 600, 96});
    elastic_testing::designWelcomePage(form, scaler.settings());
    scaler.AdaptToScreen();
    form.outer = scaler.scaledBounds();
    scaler.Rescale();
    scaler.setDragStartSize({373, 361});
    form.outer.width += 50;
    form.outer.height += 50;  // both sides alike: the proportions cannot be kept better
    scaler.KeepProportions();
    EXPECT_EQ(form.outer.width, 423);
    EXPECT_EQ(form.root.children[1]->bounds.width, elastic::RoundEven(75.0 * 415 / 365));
}

}  // namespace
