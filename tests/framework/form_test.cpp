// Page operations: show, hide, modal runs, closing, termination, events and errors.

#include "framework/form.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "framework/application.h"
#include "framework/buttons.h"
#include "framework/standard_classes.h"
#include "gui_test_environment.h"

using namespace framework;

namespace {

class TPlainForm : public TForm {
public:
    static const ClassInfo& staticClassInfo() {
        static const ClassInfo info("TPlainForm", &TForm::staticClassInfo(), {});
        return info;
    }
    const ClassInfo& classInfo() const override { return staticClassInfo(); }
    void load(const std::string& extra = "") {
        createFromDefinition(
            "object Plain: TPlainForm\n  ClientWidth = 200\n  ClientHeight = 120\n" + extra +
            "end\n");
    }
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerStandardClasses();
        Application::instance().resetTermination();
        Application::instance().setMessages(&messages);
    }
    void TearDown() override { Application::instance().setMessages(nullptr); }
    testing_support::ScriptedMessageBoxes messages;
};

}  // namespace

TEST_F(FormTest, FirstFormIsTheMainFormAndClosingItEndsTheProgram) {
    FormPtr<TPlainForm> main(new TPlainForm);
    FormPtr<TPlainForm> other(new TPlainForm);
    main->load();
    other->load();
    EXPECT_EQ(Application::instance().mainForm(), main.get());
    other->Show();
    other->Close();
    EXPECT_FALSE(Application::instance().terminated());
    main->Show();
    main->Close();
    EXPECT_TRUE(Application::instance().terminated());
    EXPECT_FALSE(main->isShowing());
}

TEST_F(FormTest, SetVisibleLeavesAShowingPageAlone) {
    FormPtr<TPlainForm> page(new TPlainForm);
    page->load();
    int shows = 0;
    page->OnShow = [&](Component*) { ++shows; };
    page->setVisible(true);
    page->setVisible(true);
    EXPECT_TRUE(page->isShowing());
    EXPECT_EQ(shows, 1);
    page->Hide();
    EXPECT_FALSE(page->isShowing());
    page->Show();
    EXPECT_EQ(shows, 2);
}

TEST_F(FormTest, ShowModalReturnsWhenThePageCloses) {
    FormPtr<TPlainForm> page(new TPlainForm);
    page->load();
    bool wasModal = false;
    testing_support::whenModal([&] {
        wasModal = page->isModal() && page->isShowing();
        page->Close();
    });
    page->ShowModal();
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(page->isModal());
    EXPECT_FALSE(page->isShowing());
}

TEST_F(FormTest, AnErrorInAnEventHandlerIsShownAndTheProgramGoesOn) {
    FormPtr<TPlainForm> page(new TPlainForm);
    page->load("  object B: TButton\n    Caption = 'Go'\n  end\n");
    auto* button = static_cast<TButton*>(page->findComponent("B"));
    int clicks = 0;
    button->OnClick = [&](Component*) {
        ++clicks;
        throw std::runtime_error("Something went wrong");
    };
    button->Click();
    button->Click();
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(messages.shown.size(), 2U);
    EXPECT_EQ(messages.shown[0].kind, "error");
    EXPECT_EQ(messages.shown[0].text, "Something went wrong");
}

TEST_F(FormTest, ActivationRaisesOnActivate) {
    FormPtr<TPlainForm> page(new TPlainForm);
    page->load();
    int activations = 0;
    page->OnActivate = [&](Component*) { ++activations; };
    page->Show();
    for (int i = 0; i < 20 && activations == 0; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_GE(activations, 1);
}

TEST_F(FormTest, AlignedControlsFillTheirParent) {
    FormPtr<TPlainForm> page(new TPlainForm);
    page->load(
        "  object Top: TPanel\n    Height = 41\n    Align = alTop\n  end\n"
        "  object Rest: TPanel\n    Align = alClient\n  end\n");
    auto* top = static_cast<TControl*>(page->findComponent("Top"));
    auto* rest = static_cast<TControl*>(page->findComponent("Rest"));
    EXPECT_EQ(top->widget()->geometry(), QRect(0, 0, 200, 41));
    EXPECT_EQ(rest->widget()->geometry(), QRect(0, 41, 200, 79));
    page->setClientWidth(300);
    page->setClientHeight(200);
    EXPECT_EQ(rest->widget()->geometry(), QRect(0, 41, 300, 159));
}

TEST_F(FormTest, DestroyEventRunsOnceBeforeThePageGoes) {
    int destroyed = 0;
    {
        FormPtr<TPlainForm> page(new TPlainForm);
        page->load();
        page->OnDestroy = [&](Component*) { ++destroyed; };
        page->beforeDestruction();
    }
    EXPECT_EQ(destroyed, 1);
}

TEST_F(FormTest, RunReturnsAtOnceAfterTermination) {
    FormPtr<TPlainForm> page(new TPlainForm);
    page->load();
    QTimer::singleShot(0, [&] { page->Close(); });
    EXPECT_EQ(Application::instance().run(), 0);
    EXPECT_TRUE(Application::instance().terminated());
    EXPECT_EQ(Application::instance().run(), 0);
}
