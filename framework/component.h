#pragma once
// The base of everything a page definition creates: a named object with an owner that
// owns an ordered list of components, published properties reachable by name, and the
// hooks the form reader calls (Loaded) and ownership changes raise (Notification).
// Every live component has a process-wide 32-bit handle.

#include <cstdint>
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

class Component : public Persistent {
    FRAMEWORK_CLASS(Persistent)

    // The owner, when given, inserts the new component into its list.
    explicit Component(Component* owner);
    ~Component() override;

    const std::string& name() const { return m_name; }
    virtual void setName(const std::string& name);

    Component* owner() const { return m_owner; }
    int componentCount() const { return static_cast<int>(m_components.size()); }
    Component* component(int index) const {
        return m_components.at(static_cast<std::size_t>(index));
    }
    // Position in the owner's list, or -1 without an owner.
    int componentIndex() const;
    // The owned component with this name (exact, case-sensitive), or nullptr.
    Component* findComponent(std::string_view name) const;

    unsigned state() const { return m_state; }
    bool hasState(ComponentState flag) const { return (m_state & flag) != 0; }
    void setState(ComponentState flag, bool on);
    // Sets or clears csDesigning here and on every owned component. A component
    // inserted into a designed owner is designed too.
    void setDesigning(bool value);

    // This component's handle: unique among live components, never 0, and not given
    // again while the process runs (so a stored handle of a freed component finds nothing).
    std::uint32_t handle() const { return m_handle; }
    // The live component with that handle, or nullptr.
    static Component* fromHandle(std::uint32_t handle);

    // Called by the form reader once every property of the form has been read.
    virtual void Loaded();
    // Called on the owner (and through it on every owned component) when a component
    // is inserted into or removed from the owner's list.
    virtual void Notification(Component* component, Operation operation);

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
    std::uint32_t m_handle;
};

// A reference to another component of the page: stored as its name, resolved by the
// form reader once the whole page is read; the component must be a T.
template <class T>
requires std::is_base_of_v<Component, T>
struct ValueTraits<T*> {
    static constexpr PropertyKind kind = PropertyKind::Reference;
    static PropertyValue toValue(T* value) { return static_cast<Component*>(value); }
    static T* fromValue(const PropertyValue& value, std::string_view property) {
        const auto* component = std::get_if<Component*>(&value);
        if (component == nullptr) {
            throw EPropertyError("Property " + std::string(property) + " needs a component");
        }
        if (*component == nullptr) return nullptr;
        T* typed = dynamic_cast<T*>(*component);
        if (typed == nullptr) {
            throw EPropertyError("Component " + (*component)->name() + " is not a " +
                                 T::staticClassInfo().name());
        }
        return typed;
    }
};

// Creates components by registered class name, as the form reader needs.
class ClassRegistry {
public:
    static ClassRegistry& instance();
    void add(const ClassInfo& info, ComponentFactory factory, const std::type_info& type);
    bool contains(std::string_view className) const;
    // Raises EPropertyError naming the class when it was never registered.
    Component* create(std::string_view className, Component* owner) const;
    struct RegisteredClass {
        const ClassInfo* info;
        const std::type_info* type;  // the C++ class its factory creates
    };
    // Every registered class, in the order of registration.
    std::vector<RegisteredClass> classes() const;

private:
    struct Entry {
        const ClassInfo* info;
        ComponentFactory factory;
        const std::type_info* type;
    };
    std::vector<Entry> m_entries;
};

}  // namespace framework
