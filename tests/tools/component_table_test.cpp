// The page compiler's table of component classes against the classes themselves: every
// class it knows is registered under its stored name, and publishes exactly the events the
// table lists, each with the signature of the kind the table gives it.

#include "component_classes.h"

#include <gtest/gtest.h>

#include <map>
#include <typeindex>

#include "elastic/elastic_form.h"
#include "framework/form.h"
#include "framework/standard_classes.h"
#include "framework/tree_view.h"
#include "mltlang/mltlang.h"
#include "shelltree/shell_tree.h"

using namespace framework;

namespace {

class TOwnerPage : public TForm {
public:
    TOwnerPage() = default;
};

// Each kind's handler signature, as the framework declares the kind.
const std::map<std::string_view, std::type_index>& kindSignatures() {
    static const std::map<std::string_view, std::type_index> kinds{
        {"framework::NotifyEvent", typeid(NotifyEvent::Signature)},
        {"framework::ChangingEvent", typeid(ChangingEvent::Signature)},
        {"framework::TVChangedEvent", typeid(TVChangedEvent::Signature)},
        {"framework::TVExpandingEvent", typeid(TVExpandingEvent::Signature)},
        {"framework::TVEditedEvent", typeid(TVEditedEvent::Signature)},
    };
    return kinds;
}

// The published events of a class and its ancestors, with their signatures.
std::map<std::string, std::type_index> publishedEvents(const ClassInfo& info) {
    std::map<std::string, std::type_index> events;
    for (const ClassInfo* c = &info; c != nullptr; c = c->parent()) {
        for (const PropertyInfo& p : c->ownProperties()) {
            if (p.kind == PropertyKind::Event) events.emplace(p.name, *p.signature);
        }
    }
    return events;
}

void expectSameEvents(const page_compiler::ComponentClass& c, const ClassInfo& info) {
    std::map<std::string, std::type_index> listed;
    for (const page_compiler::EventSlot& slot : c.events) {
        ASSERT_NE(page_compiler::findEventKind(slot.kind), nullptr)
            << c.storedName << "." << slot.name;
        listed.emplace(std::string(slot.name), kindSignatures().at(slot.kind));
    }
    EXPECT_EQ(listed, publishedEvents(info)) << c.storedName;
}

class ComponentTable : public testing::Test {
protected:
    static void SetUpTestSuite() {
        registerStandardClasses();
        mltlang::TMltLang::staticClassInfo();
        elastic::TElasticForm::staticClassInfo();
        shelltree::TShellTree::staticClassInfo();
    }
};

}  // namespace

TEST_F(ComponentTable, EveryClassIsRegisteredAndPublishesTheListedEvents) {
    TOwnerPage page;
    for (const page_compiler::ComponentClass& c : page_compiler::componentClasses()) {
        ASSERT_TRUE(ClassRegistry::instance().contains(c.storedName)) << c.storedName;
        Component* component = ClassRegistry::instance().create(c.storedName, &page);
        EXPECT_EQ(component->classInfo().name(), c.storedName);
        expectSameEvents(c, component->classInfo());
    }
}

TEST_F(ComponentTable, ThePageRootHasTheFormsEvents) {
    expectSameEvents(page_compiler::formClass(), TForm::staticClassInfo());
}
