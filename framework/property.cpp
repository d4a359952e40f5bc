#include "property.h"

#include <algorithm>
#include <cctype>

namespace framework {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

[[noreturn]] void wrongKind(std::string_view property, std::string_view wanted) {
    throw EPropertyError("Property " + std::string(property) + " needs " + std::string(wanted));
}

}  // namespace

std::string_view kindName(PropertyKind kind) {
    switch (kind) {
        case PropertyKind::Integer: return "integer";
        case PropertyKind::Float: return "float";
        case PropertyKind::Boolean: return "boolean";
        case PropertyKind::String: return "string";
        case PropertyKind::StringList: return "string list";
        case PropertyKind::Enumeration: return "enumeration";
        case PropertyKind::Set: return "set";
        case PropertyKind::Binary: return "binary";
        case PropertyKind::Event: return "event";
    }
    return "unknown";
}

std::int64_t toInteger(const PropertyValue& value, std::string_view property) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
    wrongKind(property, "an integer");
}

double toFloat(const PropertyValue& value, std::string_view property) {
    if (const auto* d = std::get_if<double>(&value)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
    wrongKind(property, "a number");
}

bool toBoolean(const PropertyValue& value, std::string_view property) {
    if (const auto* id = std::get_if<Identifier>(&value)) {
        if (sameName(id->name, "True")) return true;
        if (sameName(id->name, "False")) return false;
    }
    wrongKind(property, "True or False");
}

std::string toText(const PropertyValue& value, std::string_view property) {
    if (const auto* s = std::get_if<std::string>(&value)) return *s;
    wrongKind(property, "a string");
}

std::string toIdentifier(const PropertyValue& value, std::string_view property) {
    if (const auto* id = std::get_if<Identifier>(&value)) return id->name;
    wrongKind(property, "an identifier");
}

SetValue toSet(const PropertyValue& value, std::string_view property) {
    if (const auto* s = std::get_if<SetValue>(&value)) return *s;
    wrongKind(property, "a set");
}

StringList toStringList(const PropertyValue& value, std::string_view property) {
    if (const auto* l = std::get_if<StringList>(&value)) return *l;
    wrongKind(property, "a list of strings");
}

Bytes toBytes(const PropertyValue& value, std::string_view property) {
    if (const auto* b = std::get_if<Bytes>(&value)) return *b;
    wrongKind(property, "binary data");
}

ClassInfo::ClassInfo(std::string name, const ClassInfo* parent, std::vector<PropertyInfo> properties)
    : m_name(std::move(name)), m_parent(parent), m_properties(std::move(properties)) {}

const PropertyInfo* ClassInfo::findProperty(std::string_view name) const {
    for (const ClassInfo* info = this; info != nullptr; info = info->m_parent) {
        for (const PropertyInfo& p : info->m_properties) {
            if (sameName(p.name, name)) return &p;
        }
    }
    return nullptr;
}

bool ClassInfo::inheritsFrom(std::string_view className) const {
    for (const ClassInfo* info = this; info != nullptr; info = info->m_parent) {
        if (sameName(info->m_name, className)) return true;
    }
    return false;
}

}  // namespace framework
