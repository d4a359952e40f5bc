// Events with signatures and references between components, as a page definition
// assigns them: handlers by published name, checked against the event's parameters;
// component names resolved once the whole page is read.

#include <gtest/gtest.h>

#include "framework/buttons.h"
#include "framework/form.h"
#include "framework/standard_classes.h"

using namespace framework;

namespace {

// A component with an event that may be refused and a reference to another one.
class TGuard : public Component {
    FRAMEWORK_CLASS(Component)

    explicit TGuard(Component* owner) : Component(owner) {}
    // Asks OnBeforeChanging; true when no handler refused.
    bool change() {
        bool allowed = true;
        raiseEvent(OnBeforeChanging, this, allowed);
        if (allowed) raiseEvent(OnChange, this);
        return allowed;
    }
    TGuard* partner() const { return m_partner; }
    void setPartner(TGuard* value) { m_partner = value; }
    TButton* button() const { return m_button; }
    void setButton(TButton* value) { m_button = value; }

    ChangingEvent OnBeforeChanging;
    NotifyEvent OnChange;

private:
    TGuard* m_partner = nullptr;
    TButton* m_button = nullptr;
};

const ClassInfo& TGuard::staticClassInfo() {
    using C = TGuard;
    return declareClass<C>("TGuard", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Partner", &C::partner, &C::setPartner),
            valueProperty("Button", &C::button, &C::setButton),
            eventProperty("OnBeforeChanging", &C::OnBeforeChanging),
            eventProperty("OnChange", &C::OnChange),
        };
    });
}

class TEventForm : public TForm {
    FRAMEWORK_CLASS(TForm)

    TEventForm() {
        publish("GuardChanged", &TEventForm::GuardChanged);
        publish("GuardBeforeChanging", &TEventForm::GuardBeforeChanging);
    }
    void GuardChanged(Component* sender) {
        log.push_back("changed " + static_cast<TGuard*>(sender)->name());
    }
    void GuardBeforeChanging(Component*, bool& allowed) { allowed = allowChanges; }

    std::vector<std::string> log;
    bool allowChanges = true;
};

const ClassInfo& TEventForm::staticClassInfo() {
    return declareClass<TEventForm>("TEventForm", [] { return std::vector<PropertyInfo>{}; });
}

std::string page(const std::string& objects) {
    return "object F: TEventForm\n" + objects + "end\n";
}

std::string readError(const std::string& text) {
    FormPtr<TEventForm> form(new TEventForm);
    try {
        form->createFromDefinition(text);
    } catch (const EPropertyError& e) {
        return e.what();
    }
    return "no error";
}

class EventTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerStandardClasses();
        TGuard::staticClassInfo();
    }
};

}  // namespace

TEST_F(EventTest, HandlersWithParametersCanRefuse) {
    FormPtr<TEventForm> form(new TEventForm);
    form->createFromDefinition(
        page("  object G: TGuard\n    OnBeforeChanging = GuardBeforeChanging\n"
             "    OnChange = GuardChanged\n  end\n"));
    auto* guard = static_cast<TGuard*>(form->findComponent("G"));
    EXPECT_TRUE(guard->change());
    form->allowChanges = false;
    EXPECT_FALSE(guard->change());
    EXPECT_EQ(form->log, std::vector<std::string>{"changed G"});
    // Stored by method name, and read back so.
    EXPECT_EQ(std::get<Identifier>(guard->property("OnBeforeChanging")).name,
              "GuardBeforeChanging");
    EXPECT_EQ(guard->OnChange.methodName(), "GuardChanged");
}

TEST_F(EventTest, HandlerOfTheWrongSignatureIsRefusedWithItsLine) {
    EXPECT_EQ(readError(page("  object G: TGuard\n    OnChange = GuardBeforeChanging\n  end\n")),
              "Error reading G.OnChange (line 3): Method GuardBeforeChanging has parameters "
              "(Sender, bool&), OnChange needs (Sender)");
    EXPECT_EQ(readError(page("  object G: TGuard\n\n    OnBeforeChanging = GuardChanged\n  end\n")),
              "Error reading G.OnBeforeChanging (line 4): Method GuardChanged has parameters "
              "(Sender), OnBeforeChanging needs (Sender, bool&)");
}

TEST_F(EventTest, EventsSetInCodeTakeMethodsOfTheirSignatureOnly) {
    TGuard guard(nullptr);
    const MethodReference refuse =
        makeMethodReference<bool&>("Refuse", [](Component*, bool& allowed) { allowed = false; });
    guard.setProperty("OnBeforeChanging", refuse);
    EXPECT_FALSE(guard.change());
    EXPECT_THROW(guard.setProperty("OnChange", refuse), EPropertyError);
    EXPECT_THROW(guard.setProperty("OnChange", Identifier{"Refuse"}), EPropertyError);
    guard.OnBeforeChanging = nullptr;
    EXPECT_TRUE(guard.change());
}

TEST_F(EventTest, ReferencesResolveOnceTheWholePageIsRead) {
    FormPtr<TEventForm> form(new TEventForm);
    // G1 names G2 and the button before either exists.
    form->createFromDefinition(
        page("  object G1: TGuard\n    Partner = G2\n    Button = B\n  end\n"
             "  object G2: TGuard\n    Partner = G1\n  end\n"
             "  object B: TButton\n  end\n"));
    auto* first = static_cast<TGuard*>(form->findComponent("G1"));
    auto* second = static_cast<TGuard*>(form->findComponent("G2"));
    EXPECT_EQ(first->partner(), second);
    EXPECT_EQ(second->partner(), first);
    EXPECT_EQ(first->button(), form->findComponent("B"));
    EXPECT_EQ(std::get<Component*>(first->property("Partner")), second);
    EXPECT_EQ(second->button(), nullptr);
}

TEST_F(EventTest, BadReferencesAreErrorsNamingTheLine) {
    EXPECT_EQ(readError(page("  object G: TGuard\n    Partner = Nobody\n  end\n")),
              "Error reading G.Partner (line 3): Component Nobody not found");
    EXPECT_EQ(
        readError(page("  object G: TGuard\n    Partner = B\n  end\n  object B: TButton\n  end\n")),
        "Error reading G.Partner (line 3): Component B is not a TGuard");
    EXPECT_EQ(readError(page("  object G: TGuard\n    Partner = 'G'\n  end\n")),
              "Error reading G.Partner (line 3): Property Partner needs an identifier");
    EXPECT_EQ(readError(page("  object G: TGuard\n  end\n  object G: TGuard\n  end\n")),
              "Error reading G (line 4): A component named G already exists");
}
