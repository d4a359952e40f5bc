// Ownership, names, notifications and properties by name.

#include "framework/component.h"

#include <gtest/gtest.h>

#include <memory>

using framework::Component;
using framework::Operation;

namespace {

// Records the notifications it receives and its own destruction.
class Probe : public Component {
public:
    Probe(Component* owner, std::vector<std::string>* log) : Component(owner), m_log(log) {}
    ~Probe() override { m_log->push_back("destroy " + name()); }
    void Notification(Component* c, Operation op) override {
        m_log->push_back(name() +
                         (op == Operation::Insert ? " saw insert of " : " saw removal of ") +
                         c->name());
        Component::Notification(c, op);
    }

private:
    std::vector<std::string>* m_log;
};

}  // namespace

TEST(Component, OwnerFreesItsComponentsLastFirst) {
    std::vector<std::string> log;
    {
        Component owner(nullptr);
        auto* a = new Probe(&owner, &log);
        a->setName("a");
        auto* b = new Probe(&owner, &log);
        b->setName("b");
        EXPECT_EQ(owner.componentCount(), 2);
        EXPECT_EQ(a->componentIndex(), 0);
        EXPECT_EQ(b->componentIndex(), 1);
        EXPECT_EQ(owner.componentIndex(), -1);
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"destroy b", "a saw removal of b", "destroy a"}));
}

TEST(Component, SiblingsAreNotifiedOfInsertionAndRemoval) {
    std::vector<std::string> log;
    Component owner(nullptr);
    auto* a = new Probe(&owner, &log);
    a->setName("a");
    auto* b = new Probe(&owner, &log);
    b->setName("b");
    EXPECT_EQ(log, std::vector<std::string>{"a saw insert of "});  // named after insertion
    log.clear();
    delete a;
    EXPECT_EQ(log, (std::vector<std::string>{"destroy a", "b saw removal of a"}));
    EXPECT_EQ(b->componentIndex(), 0);
}

TEST(Component, FindsOwnedComponentsByExactName) {
    Component owner(nullptr);
    auto* button = new Component(&owner);
    button->setName("Button3");
    EXPECT_EQ(owner.findComponent("Button3"), button);
    EXPECT_EQ(owner.findComponent("button3"), nullptr);
    EXPECT_EQ(owner.findComponent(""), nullptr);
}

TEST(Component, PropertiesByNameCheckNameAndKind) {
    Component c(nullptr);
    c.setProperty("name", std::string("Memo1"));  // names compare without regard to case
    EXPECT_EQ(std::get<std::string>(c.property("Name")), "Memo1");
    EXPECT_THROW(c.setProperty("Caption", std::string("x")), framework::EPropertyError);
    EXPECT_THROW(c.setProperty("Name", std::int64_t{3}), framework::EPropertyError);
    EXPECT_THROW(c.property("Nothing"), framework::EPropertyError);
    EXPECT_EQ(c.findProperty("Name")->kind, framework::PropertyKind::String);
}

TEST(Component, StateFlagsAreIndependent) {
    Component c(nullptr);
    c.setState(framework::csReading, true);
    c.setState(framework::csLoading, true);
    c.setState(framework::csReading, false);
    EXPECT_FALSE(c.hasState(framework::csReading));
    EXPECT_TRUE(c.hasState(framework::csLoading));
    c.Loaded();
    EXPECT_FALSE(c.hasState(framework::csLoading));
}

TEST(ClassRegistry, UnknownClassIsAnError) {
    EXPECT_FALSE(framework::ClassRegistry::instance().contains("TNoSuchThing"));
    EXPECT_THROW(framework::ClassRegistry::instance().create("TNoSuchThing", nullptr),
                 framework::EPropertyError);
}

TEST(Component, DesigningIsInheritedFromTheOwnerOnInsert) {
    Component owner(nullptr);
    auto* before = new Component(&owner);
    owner.setDesigning(true);
    EXPECT_TRUE(before->hasState(framework::csDesigning));  // set down the tree
    auto* child = new Component(&owner);
    auto* grandchild = new Component(child);
    EXPECT_TRUE(child->hasState(framework::csDesigning));
    EXPECT_TRUE(grandchild->hasState(framework::csDesigning));

    child->setDesigning(false);
    EXPECT_FALSE(grandchild->hasState(framework::csDesigning));
    EXPECT_FALSE((new Component(child))->hasState(framework::csDesigning));
    EXPECT_TRUE(owner.hasState(framework::csDesigning));

    Component running(nullptr);
    EXPECT_FALSE((new Component(&running))->hasState(framework::csDesigning));
}

TEST(Component, DestroyedComponentsHandleRefersToNothing) {
    auto owner = std::make_unique<Component>(nullptr);
    auto* child = new Component(owner.get());
    const std::uint32_t ownerHandle = owner->handle();
    const std::uint32_t childHandle = child->handle();
    EXPECT_NE(ownerHandle, 0u);
    EXPECT_NE(ownerHandle, childHandle);
    EXPECT_EQ(Component::fromHandle(childHandle), child);

    delete child;
    EXPECT_EQ(Component::fromHandle(childHandle), nullptr);
    // A new component never receives a handle a freed one had.
    Component next(nullptr);
    EXPECT_NE(next.handle(), childHandle);
    EXPECT_EQ(Component::fromHandle(childHandle), nullptr);

    auto* owned = new Component(owner.get());
    const std::uint32_t ownedHandle = owned->handle();
    owner.reset();  // frees what it owns
    EXPECT_EQ(Component::fromHandle(ownerHandle), nullptr);
    EXPECT_EQ(Component::fromHandle(ownedHandle), nullptr);
    EXPECT_EQ(Component::fromHandle(0), nullptr);
}
