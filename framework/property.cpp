#include "property.h"

namespace framework {

ClassInfo::ClassInfo(std::string name, const ClassInfo* parent,
                     std::vector<PropertyInfo> properties)
    : m_name(std::move(name)), m_parent(parent), m_properties(std::move(properties)) {}

const PropertyInfo* ClassInfo::findProperty(std::string_view name) const {
    for (const ClassInfo* info = this; info != nullptr; info = info->m_parent) {
        for (const PropertyInfo& p : info->m_properties) {
            if (sameName(p.name, name)) return &p;
        }
    }
    return nullptr;
}

const ClassInfo& Persistent::staticClassInfo() {
    return declareClass<Persistent>("TPersistent", [] { return std::vector<PropertyInfo>{}; });
}

const ClassInfo& Persistent::classInfo() const { return staticClassInfo(); }

const PropertyInfo* Persistent::findProperty(std::string_view name) const {
    return classInfo().findProperty(name);
}

PropertyTarget resolveProperty(Persistent& root, std::string_view path) {
    Persistent* object = &root;
    for (;;) {
        const std::size_t dot = path.find('.');
        const PropertyInfo* info = object->findProperty(path.substr(0, dot));
        if (dot == std::string_view::npos || info == nullptr) return {object, info};
        if (info->kind != PropertyKind::Object) return {object, nullptr};
        object = info->object(*object);
        path.remove_prefix(dot + 1);
    }
}

PropertyValue Persistent::property(std::string_view path) const {
    const PropertyTarget target = resolveProperty(const_cast<Persistent&>(*this), path);
    if (target.info == nullptr || !target.info->get) {
        throw EPropertyError(className() + " has no readable property " + std::string(path));
    }
    return target.info->get(*target.object);
}

void Persistent::setProperty(std::string_view path, const PropertyValue& value) {
    const PropertyTarget target = resolveProperty(*this, path);
    if (target.info == nullptr || !target.info->set) {
        throw EPropertyError(className() + " has no writable property " + std::string(path));
    }
    target.info->set(*target.object, value);
}

Persistent* Persistent::objectAt(std::string_view path) {
    const PropertyTarget target = resolveProperty(*this, path);
    if (target.info == nullptr || target.info->kind != PropertyKind::Object) return nullptr;
    return target.info->object(*target.object);
}

void Persistent::assignValue(const PropertyValue&) {
    throw EPropertyError(className() + " takes its values by property path");
}

PropertyValue Persistent::storedValue() const {
    throw EPropertyError(className() + " is read by property path");
}

}  // namespace framework
