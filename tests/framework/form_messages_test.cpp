// The page as a message source: the hook chain, the order of hooks and page handlers,
// live bounds after resizes by the window manager and by the program, window states,
// the hook after creation, temporary hiding and font sizes in points.

#include "framework/form_messages.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <QWindow>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/standard_classes.h"
#include "gui_test_environment.h"

using namespace framework;

namespace {

// --- the chain itself, without a window ---

TEST(MessageHookChain, NewestHookHearsFirstAndRemovedHooksAreSkipped) {
    auto chain = std::make_shared<MessageHookChain>();
    std::vector<std::string> heard;
    MessageHookHandle first(chain,
                            chain->add([&](const FormMessage&) { heard.push_back("first"); }));
    MessageHookHandle second;
    MessageHookHandle third(chain, chain->add([&](const FormMessage&) {
        heard.push_back("third");
        second.reset();  // a hook removing a later one during delivery
    }));
    second = MessageHookHandle(chain,
                               chain->add([&](const FormMessage&) { heard.push_back("second"); }));
    chain->deliver({});
    EXPECT_EQ(heard, (std::vector<std::string>{"second", "third", "first"}));
    heard.clear();
    chain->deliver({});
    EXPECT_EQ(heard, (std::vector<std::string>{"third", "first"}));
    EXPECT_FALSE(second.installed());
}

TEST(MessageHookChain, AHandleOutlivingItsChainDoesNothing) {
    MessageHookHandle handle;
    {
        auto chain = std::make_shared<MessageHookChain>();
        handle = MessageHookHandle(chain, chain->add([](const FormMessage&) {}));
        EXPECT_TRUE(handle.installed());
    }
    EXPECT_FALSE(handle.installed());
    handle.reset();
}

TEST(MessageHookChain, AHookAddedDuringDeliveryHearsTheNextMessage) {
    auto chain = std::make_shared<MessageHookChain>();
    int late = 0;
    MessageHookHandle added;
    MessageHookHandle adder(chain, chain->add([&](const FormMessage&) {
        if (!added.installed())
            added = MessageHookHandle(chain, chain->add([&](const FormMessage&) { ++late; }));
    }));
    chain->deliver({});
    EXPECT_EQ(late, 0);
    chain->deliver({});
    EXPECT_EQ(late, 1);
}

// --- a page's messages ---

class TPlainForm : public TForm {
public:
    static const ClassInfo& staticClassInfo() {
        static const ClassInfo info("TPlainForm", &TForm::staticClassInfo(), {});
        return info;
    }
    const ClassInfo& classInfo() const override { return staticClassInfo(); }
    void load(const std::string& extra = "") {
        createFromDefinition(
            "object Plain: TPlainForm\n  Left = 40\n  Top = 30\n"
            "  ClientWidth = 200\n  ClientHeight = 120\n" +
            extra + "end\n");
    }
};

class FormMessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerStandardClasses();
        Application::instance().setMessages(&messages);
        page.reset(new TPlainForm);
    }
    void TearDown() override {
        page.reset();
        Application::instance().setMessages(nullptr);
    }
    // Records every message of the kinds asked for.
    MessageHookHandle record(std::vector<FormMessage>& into,
                             const std::vector<FormMessageKind>& kinds) {
        return page->addMessageHook([&into, kinds](const FormMessage& m) {
            if (std::find(kinds.begin(), kinds.end(), m.kind) != kinds.end()) into.push_back(m);
        });
    }
    testing_support::ScriptedMessageBoxes messages;
    FormPtr<TPlainForm> page;
};

TEST_F(FormMessagesTest, HooksRunBeforeThePageHandlerAlsoWhenItIsAssignedLater) {
    page->load();
    std::vector<std::string> calls;
    page->OnShow = [&](Component*) { calls.push_back("early page handler"); };
    MessageHookHandle a = page->addMessageHook([&](const FormMessage& m) {
        if (m.kind == FormMessageKind::Show) calls.push_back("hook a");
    });
    MessageHookHandle b = page->addMessageHook([&](const FormMessage& m) {
        if (m.kind == FormMessageKind::Show) calls.push_back("hook b");
    });
    page->Show();
    page->Hide();
    page->OnShow = [&](Component*) { calls.push_back("late page handler"); };
    page->Show();
    EXPECT_EQ(calls, (std::vector<std::string>{"hook b", "hook a", "early page handler", "hook b",
                                               "hook a", "late page handler"}));
}

TEST_F(FormMessagesTest, ARemovedHookIsNotCalledAndTheHandlerStillIs) {
    page->load();
    int hooked = 0, handled = 0;
    MessageHookHandle hook = page->addMessageHook([&](const FormMessage& m) {
        if (m.kind == FormMessageKind::Show) ++hooked;
    });
    page->OnShow = [&](Component*) { ++handled; };
    hook.reset();
    page->Show();
    EXPECT_EQ(hooked, 0);
    EXPECT_EQ(handled, 1);
}

TEST_F(FormMessagesTest, AFailingHookIsReportedAndKeepsThePageHandlerFromRunning) {
    page->load();
    int handled = 0;
    MessageHookHandle hook = page->addMessageHook([](const FormMessage& m) {
        if (m.kind == FormMessageKind::Show) throw std::runtime_error("Index out of range");
    });
    page->OnShow = [&](Component*) { ++handled; };
    page->Show();
    EXPECT_EQ(handled, 0);
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "Index out of range");
}

TEST_F(FormMessagesTest, TheCreatedHookRunsAfterTheCreationHandler) {
    std::vector<std::string> calls;
    MessageHookHandle hook = page->addMessageHook([&](const FormMessage& m) {
        if (m.kind == FormMessageKind::Created) calls.push_back("hook");
    });
    page->OnCreate = [&](Component*) { calls.push_back("creation handler"); };
    page->load();
    EXPECT_EQ(calls, (std::vector<std::string>{"creation handler", "hook"}));
}

TEST_F(FormMessagesTest, ActivationReachesHooksBeforeOnActivate) {
    page->load();
    std::vector<std::string> calls;
    MessageHookHandle hook = page->addMessageHook([&](const FormMessage& m) {
        if (m.kind == FormMessageKind::Activate) calls.push_back("hook");
    });
    page->OnActivate = [&](Component*) { calls.push_back("page"); };
    page->Show();
    testing_support::settle();
    ASSERT_GE(calls.size(), 2U);
    EXPECT_EQ(calls[0], "hook");
    EXPECT_EQ(calls[1], "page");
}

TEST_F(FormMessagesTest, BoundsFollowAResizeByTheProgram) {
    page->load();
    page->Show();
    testing_support::settle();
    std::vector<FormMessage> resizes;
    MessageHookHandle hook = record(resizes, {FormMessageKind::Resize});
    page->setWidth(300);
    ASSERT_EQ(resizes.size(), 1U);
    EXPECT_EQ(resizes[0].origin, MessageOrigin::Program);
    EXPECT_EQ(resizes[0].sizeKind, SizeKind::Restored);
    EXPECT_EQ(resizes[0].bounds.width, 300);
    EXPECT_EQ(page->width(), 300);
    EXPECT_EQ(page->clientWidth(), 300 - TForm::kFrameWidth);
    EXPECT_EQ(page->widget()->width(), 300 - TForm::kFrameWidth);
}

TEST_F(FormMessagesTest, BoundsFollowAResizeAndMoveByTheWindowManager) {
    page->load();
    page->Show();
    testing_support::settle();
    std::vector<FormMessage> seen;
    MessageHookHandle hook = record(seen, {FormMessageKind::Resize, FormMessageKind::Move});
    // The window system's own window is resized and moved, as a user's drag does.
    page->widget()->windowHandle()->setGeometry(QRect(70, 50, 412, 263));
    testing_support::settle();
    EXPECT_EQ(page->width(), 412 + TForm::kFrameWidth);
    EXPECT_EQ(page->height(), 263 + TForm::kFrameHeight);
    EXPECT_EQ(page->clientWidth(), 412);
    EXPECT_EQ(std::get<std::int64_t>(page->property("Width")), 420);
    ASSERT_FALSE(seen.empty());
    const FormMessage& resize = *std::find_if(seen.begin(), seen.end(), [](const FormMessage& m) {
        return m.kind == FormMessageKind::Resize;
    });
    EXPECT_EQ(resize.origin, MessageOrigin::WindowManager);
    EXPECT_EQ(resize.bounds.width, 420);
    EXPECT_EQ(resize.bounds.height, 290);
    EXPECT_EQ(page->left(), page->widget()->x());
    EXPECT_EQ(page->top(), page->widget()->y());
}

TEST_F(FormMessagesTest, MaximizingReportsTheKindAndTheStateChangeOnce) {
    page->load();
    page->Show();
    testing_support::settle();
    std::vector<FormMessage> seen;
    MessageHookHandle hook = record(seen, {FormMessageKind::Resize, FormMessageKind::WindowState});
    page->setWindowState(WindowState::Maximized);
    testing_support::settle();
    EXPECT_EQ(page->windowState(), WindowState::Maximized);
    const auto count = [&](FormMessageKind kind, SizeKind size) {
        return std::count_if(seen.begin(), seen.end(), [&](const FormMessage& m) {
            return m.kind == kind && (kind != FormMessageKind::Resize || m.sizeKind == size);
        });
    };
    EXPECT_EQ(count(FormMessageKind::WindowState, SizeKind::Restored), 1);
    EXPECT_EQ(count(FormMessageKind::Resize, SizeKind::Maximized), 1);
    const auto state = std::find_if(seen.begin(), seen.end(), [](const FormMessage& m) {
        return m.kind == FormMessageKind::WindowState;
    });
    EXPECT_EQ(state->oldState, WindowState::Normal);
    EXPECT_EQ(state->newState, WindowState::Maximized);
    EXPECT_EQ(page->width(), seen.back().bounds.width);

    seen.clear();
    page->setWindowState(WindowState::Normal);
    testing_support::settle();
    EXPECT_EQ(count(FormMessageKind::Resize, SizeKind::Restored), 1);
}

TEST_F(FormMessagesTest, AnIconKeepsItsSizeAndReportsTheMinimizedKind) {
    page->load();
    page->Show();
    testing_support::settle();
    std::vector<FormMessage> seen;
    MessageHookHandle hook = record(seen, {FormMessageKind::Resize});
    const int width = page->width();
    page->setWindowState(WindowState::Minimized);
    testing_support::settle();
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0].sizeKind, SizeKind::Minimized);
    EXPECT_EQ(seen[0].bounds.width, width);
    page->setWindowState(WindowState::Normal);
    testing_support::settle();
    ASSERT_EQ(seen.size(), 2U);
    EXPECT_EQ(seen[1].sizeKind, SizeKind::Restored);
    EXPECT_EQ(page->width(), width);
}

// --- temporary hiding ---

TEST_F(FormMessagesTest, TemporaryHidingRestoresExactlyWhatWasVisible) {
    page->load(
        "  object Shown: TButton\n  end\n"
        "  object Hidden: TButton\n    Visible = False\n  end\n"
        "  object ShownLater: TButton\n    Visible = False\n  end\n"
        "  object HiddenLater: TButton\n  end\n");
    page->Show();
    std::vector<TControl*> controls;
    for (const char* name : {"Shown", "Hidden", "ShownLater", "HiddenLater"}) {
        controls.push_back(static_cast<TControl*>(page->findComponent(name)));
    }
    for (TControl* c : controls) c->hideTemporarily();
    for (TControl* c : controls) EXPECT_FALSE(c->widget()->isVisible()) << c->name();
    controls[2]->setVisible(true);  // changed while hidden: stays hidden for now
    controls[3]->setVisible(false);
    EXPECT_FALSE(controls[2]->widget()->isVisible());
    controls[0]->hideTemporarily();  // nested
    for (TControl* c : controls) c->endTemporaryHiding();
    EXPECT_FALSE(controls[0]->widget()->isVisible());
    controls[0]->endTemporaryHiding();
    const std::vector<bool> expected{true, false, true, false};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(controls[i]->widget()->isVisible(), expected[i]) << controls[i]->name();
        EXPECT_EQ(controls[i]->visible(), expected[i]) << controls[i]->name();
    }
    controls[1]->endTemporaryHiding();  // unbalanced: ignored
    EXPECT_FALSE(controls[1]->widget()->isVisible());
}

// --- font sizes in points ---

struct PointCase {
    int pixelsPerInch;
    int height;
    int points;
    int heightForPoints;
};

class FontPointsTest : public ::testing::TestWithParam<PointCase> {};

TEST_P(FontPointsTest, HeightsAndPointsConvertAtTheScreenResolution) {
    const PointCase c = GetParam();
    TFont font;
    font.setPixelsPerInch(c.pixelsPerInch);
    font.setHeight(c.height);
    EXPECT_EQ(font.size(), c.points);
    font.setHeight(-c.height);  // a cell height counts as the character height
    EXPECT_EQ(font.size(), c.points);
    font.setSize(c.points);
    EXPECT_EQ(font.height(), c.heightForPoints);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, FontPointsTest,
                         ::testing::Values(PointCase{96, -11, 8, -11}, PointCase{96, -13, 10, -13},
                                           PointCase{120, -11, 7, -12}, PointCase{120, -13, 8, -13},
                                           PointCase{144, -16, 8, -16}, PointCase{72, -9, 9, -9}));

TEST_F(FormMessagesTest, ControlFontSizeUsesTheScreenResolution) {
    page->load("  Font.Height = -11\n");
    Application::instance().setPixelsPerInchOverride(120);
    page->Font().setSize(10);
    EXPECT_EQ(page->Font().height(), -17);
    EXPECT_EQ(std::get<std::int64_t>(page->property("Font.Size")), 10);
    Application::instance().setPixelsPerInchOverride(0);
    EXPECT_GT(Application::instance().pixelsPerInch(), 0);
}

}  // namespace
