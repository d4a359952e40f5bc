#pragma once
// A freshly created wizard per test, with scripted message boxes, made and shown as the
// program starts it.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QWidget>

#include "framework/application.h"
#include "gui_test_environment.h"
#include "setup/pages.h"
#include "setup/wizard.h"

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        app().resetTermination();
        app().setMessages(&messages);
        // The design screen, so that the pages keep their designed bounds (the offscreen
        // screen is 800 x 800).
        app().setScreenSizeOverride({800, 600});
        // As the program makes them: from the definitions read ahead.
        setup::PageTrees pages;
        pages.readAll();
        wizard.createPages(std::move(pages));
        wizard.isForm1->Show();
        testing_support::settle();
    }
    void TearDown() override {
        app().setMessages(nullptr);
        app().setScreenSizeOverride({});
    }

    static framework::Application& app() { return framework::Application::instance(); }

    // The pages that are visible now, by instance name, in creation order.
    std::vector<std::string> showingPages() const {
        std::vector<std::string> names;
        for (framework::TForm* page : allPages()) {
            if (page->isShowing()) names.push_back(page->name());
        }
        return names;
    }

    std::vector<framework::TForm*> allPages() const {
        return {wizard.isForm1.get(), wizard.isForm2.get(), wizard.isForm3.get(),
                wizard.iForm10.get(), wizard.isform4.get(), wizard.isForm5.get(),
                wizard.isform6.get(), wizard.isForm7.get(), wizard.iForm11.get()};
    }

    // Walks from the welcome page to the shortcut page with the first dictionary marked.
    void goToShortcutPage() {
        wizard.isForm1->Button3->Click();
        wizard.isForm3->Button3->Click();
        wizard.isform4->CheckListBox1->setChecked(0, true);
        wizard.isform4->Button3->Click();
    }

    // Presses "Cancel" on a page and answers the exit confirmation with one of its buttons.
    void cancelAndAnswer(framework::TButton* cancel, bool exitSetup) {
        bool confirmationShown = false;
        testing_support::whenModal([&] {
            confirmationShown = wizard.isForm2->isShowing() && wizard.isForm2->isModal();
            (exitSetup ? wizard.isForm2->Button2 : wizard.isForm2->Button1)->Click();
        });
        cancel->Click();
        EXPECT_TRUE(confirmationShown);
        EXPECT_FALSE(wizard.isForm2->isShowing());
    }

    testing_support::ScriptedMessageBoxes messages;
    setup::Wizard wizard;
};
