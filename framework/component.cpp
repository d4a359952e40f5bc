#include "component.h"

#include <algorithm>

namespace framework {

Component::Component(Component* owner) {
    if (owner != nullptr) owner->insertComponent(this);
}

Component::~Component() {
    m_state |= csDestroying;
    destroyComponents();
    if (m_owner != nullptr) m_owner->removeComponent(this);
}

const ClassInfo& Component::staticClassInfo() {
    static const ClassInfo info("TComponent", nullptr,
                                {valueProperty<Component, std::string>(
                                    "Name", PropertyKind::String, &Component::name,
                                    &Component::setName)});
    return info;
}

const ClassInfo& Component::classInfo() const { return staticClassInfo(); }

void Component::setName(const std::string& name) { m_name = name; }

int Component::componentIndex() const {
    if (m_owner == nullptr) return -1;
    const auto& list = m_owner->m_components;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

Component* Component::findComponent(std::string_view name) const {
    for (Component* c : m_components) {
        if (!name.empty() && c->m_name == name) return c;
    }
    return nullptr;
}

void Component::setState(ComponentState flag, bool on) {
    m_state = on ? (m_state | flag) : (m_state & ~static_cast<unsigned>(flag));
}

void Component::Loaded() { setState(csLoading, false); }

void Component::Notification(Component* component, Operation operation) {
    for (Component* c : m_components) {
        if (c != component) c->Notification(component, operation);
    }
}

PropertyValue Component::property(std::string_view name) const {
    const PropertyInfo* info = findProperty(name);
    if (info == nullptr || !info->get) {
        throw EPropertyError(className() + " has no readable property " + std::string(name));
    }
    return info->get(*this);
}

void Component::setProperty(std::string_view name, const PropertyValue& value) {
    const PropertyInfo* info = findProperty(name);
    if (info == nullptr || !info->set) {
        throw EPropertyError(className() + " has no writable property " + std::string(name));
    }
    info->set(*this, value);
}

const PropertyInfo* Component::findProperty(std::string_view name) const {
    return classInfo().findProperty(name);
}

void Component::destroyComponents() {
    while (!m_components.empty()) delete m_components.back();
}

void Component::insertComponent(Component* component) {
    component->m_owner = this;
    m_components.push_back(component);
    Notification(component, Operation::Insert);
}

void Component::removeComponent(Component* component) {
    Notification(component, Operation::Remove);
    std::erase(m_components, component);
    component->m_owner = nullptr;
}

ClassRegistry& ClassRegistry::instance() {
    static ClassRegistry registry;
    return registry;
}

void ClassRegistry::add(const ClassInfo& info, Factory factory) {
    if (!contains(info.name())) m_entries.push_back({&info, factory});
}

bool ClassRegistry::contains(std::string_view className) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const Entry& e) { return e.info->name() == className; });
}

Component* ClassRegistry::create(std::string_view className, Component* owner) const {
    for (const Entry& e : m_entries) {
        if (e.info->name() == className) return e.factory(owner).release();
    }
    throw EPropertyError("Class " + std::string(className) + " not found");
}

}  // namespace framework
