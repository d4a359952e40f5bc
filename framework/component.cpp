#include "component.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace framework {

namespace {

// The process-wide table of live components. Handles count up and skip 0 and any
// handle still in use, so a handle is not given again before 2^32 - 1 others.
class HandleTable {
public:
    std::uint32_t add(Component* component) {
        std::lock_guard lock(m_mutex);
        do {
            ++m_last;
        } while (m_last == 0 || m_live.contains(m_last));
        m_live.emplace(m_last, component);
        return m_last;
    }
    void remove(std::uint32_t handle) {
        std::lock_guard lock(m_mutex);
        m_live.erase(handle);
    }
    Component* find(std::uint32_t handle) {
        std::lock_guard lock(m_mutex);
        const auto it = m_live.find(handle);
        return it == m_live.end() ? nullptr : it->second;
    }

private:
    std::mutex m_mutex;
    std::unordered_map<std::uint32_t, Component*> m_live;
    std::uint32_t m_last = 0;
};

HandleTable& handles() {
    static HandleTable table;
    return table;
}

}  // namespace

void registerClass(const ClassInfo& info, ComponentFactory factory, const std::type_info& type) {
    ClassRegistry::instance().add(info, factory, type);
}

Component::Component(Component* owner) : m_handle(handles().add(this)) {
    if (owner != nullptr) owner->insertComponent(this);
}

Component::~Component() {
    m_state |= csDestroying;
    destroyComponents();
    if (m_owner != nullptr) m_owner->removeComponent(this);
    handles().remove(m_handle);
}

const ClassInfo& Component::staticClassInfo() {
    return declareClass<Component>("TComponent", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Name", &Component::name, &Component::setName)};
    });
}

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

void Component::setDesigning(bool value) {
    setState(csDesigning, value);
    for (Component* c : m_components) c->setDesigning(value);
}

Component* Component::fromHandle(std::uint32_t handle) { return handles().find(handle); }

void Component::Loaded() { setState(csLoading, false); }

void Component::Notification(Component* component, Operation operation) {
    for (Component* c : m_components) {
        if (c != component) c->Notification(component, operation);
    }
}

void Component::destroyComponents() {
    while (!m_components.empty()) delete m_components.back();
}

void Component::insertComponent(Component* component) {
    component->m_owner = this;
    if (hasState(csDesigning)) component->setDesigning(true);
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

void ClassRegistry::add(const ClassInfo& info, ComponentFactory factory,
                        const std::type_info& type) {
    if (!contains(info.name())) m_entries.push_back({&info, factory, &type});
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

std::vector<ClassRegistry::RegisteredClass> ClassRegistry::classes() const {
    std::vector<RegisteredClass> classes;
    for (const Entry& e : m_entries) classes.push_back({e.info, e.type});
    return classes;
}

}  // namespace framework
