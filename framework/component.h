#pragma once
// The base of everything a page definition creates: a named object with an owner that
// owns an ordered list of components, published properties reachable by name, and the
// hooks the form reader calls (Loaded) and ownership changes raise (Notification).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "property.h"

namespace framework {

enum class Operation { Insert, Remove };

// State flags; a component knows whether it is being designed, reading its properties,
// loading (between creation from a definition and Loaded) or being destroyed.
enum ComponentState : unsigned {
    csDesigning = 1u << 0,
    csReading = 1u << 1,
    csLoading = 1u << 2,
    csDestroying = 1u << 3,
};

class Component {
public:
    explicit Component(Component* owner);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    static const ClassInfo& staticClassInfo();
    virtual const ClassInfo& classInfo() const;
    const std::string& className() const { return classInfo().name(); }

    const std::string& name() const { return m_name; }
    virtual void setName(const std::string& name);

    Component* owner() const { return m_owner; }
    int componentCount() const { return static_cast<int>(m_components.size()); }
    Component* component(int index) const { return m_components.at(static_cast<std::size_t>(index)); }
    // Position in the owner's list, or -1 without an owner.
    int componentIndex() const;
    // The owned component with this name (exact, case-sensitive), or nullptr.
    Component* findComponent(std::string_view name) const;

    unsigned state() const { return m_state; }
    bool hasState(ComponentState flag) const { return (m_state & flag) != 0; }
    void setState(ComponentState flag, bool on);

    // Called by the form reader once every property of the form has been read.
    virtual void Loaded();
    // Called on the owner (and through it on every owned component) when a component
    // is inserted into or removed from the owner's list.
    virtual void Notification(Component* component, Operation operation);

    // Published properties by name; unknown names and wrong kinds raise EPropertyError.
    PropertyValue property(std::string_view name) const;
    void setProperty(std::string_view name, const PropertyValue& value);
    const PropertyInfo* findProperty(std::string_view name) const;

protected:
    // Frees owned components, last first; derived destructors call it while their own
    // parts still exist.
    void destroyComponents();

private:
    void insertComponent(Component* component);
    void removeComponent(Component* component);

    std::string m_name;
    Component* m_owner = nullptr;
    std::vector<Component*> m_components;  // owned
    unsigned m_state = 0;
};

// Creates components by registered class name, as the form reader needs.
class ClassRegistry {
public:
    using Factory = std::unique_ptr<Component> (*)(Component* owner);

    static ClassRegistry& instance();
    void add(const ClassInfo& info, Factory factory);
    bool contains(std::string_view className) const;
    // Raises EPropertyError naming the class when it was never registered.
    Component* create(std::string_view className, Component* owner) const;

private:
    struct Entry {
        const ClassInfo* info;
        Factory factory;
    };
    std::vector<Entry> m_entries;
};

template <class T>
std::unique_ptr<Component> createComponent(Component* owner) {
    return std::make_unique<T>(owner);
}

}  // namespace framework
