#pragma once
// Published properties: values as a page definition stores them, and the per-class
// tables through which components are read, and later translated, by property name.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace framework {

class Component;

// An event is a method reference: raised only when assigned.
using NotifyEvent = std::function<void(Component* sender)>;

struct Identifier {
    std::string name;  // an enumeration value or a boolean, as written
    bool operator==(const Identifier&) const = default;
};
struct SetValue {
    std::vector<std::string> members;
    bool operator==(const SetValue&) const = default;
};
using StringList = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

using PropertyValue = std::variant<std::int64_t, double, std::string, Identifier, SetValue,
                                   StringList, Bytes, NotifyEvent>;

enum class PropertyKind { Integer, Float, Boolean, String, StringList, Enumeration, Set, Binary, Event };

std::string_view kindName(PropertyKind kind);

// Raised for an unknown property, a value of the wrong kind or a bad enumeration name.
class EPropertyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PropertyInfo {
    std::string name;
    PropertyKind kind;
    std::function<PropertyValue(const Component&)> get;  // may be empty (write-only events)
    std::function<void(Component&, const PropertyValue&)> set;
};

// Conversions used by property setters; each throws EPropertyError naming the property.
std::int64_t toInteger(const PropertyValue& value, std::string_view property);
double toFloat(const PropertyValue& value, std::string_view property);
bool toBoolean(const PropertyValue& value, std::string_view property);
std::string toText(const PropertyValue& value, std::string_view property);
std::string toIdentifier(const PropertyValue& value, std::string_view property);
SetValue toSet(const PropertyValue& value, std::string_view property);
StringList toStringList(const PropertyValue& value, std::string_view property);
Bytes toBytes(const PropertyValue& value, std::string_view property);

// The run-time type information of one component class: its registered name, its
// parent class and its own published properties, in declaration order.
class ClassInfo {
public:
    ClassInfo(std::string name, const ClassInfo* parent, std::vector<PropertyInfo> properties);

    const std::string& name() const { return m_name; }
    const ClassInfo* parent() const { return m_parent; }
    // Looks through this class and its ancestors; names compare without regard to case.
    const PropertyInfo* findProperty(std::string_view name) const;
    bool inheritsFrom(std::string_view className) const;

private:
    std::string m_name;
    const ClassInfo* m_parent;
    std::vector<PropertyInfo> m_properties;
};

// Builders that turn typed member functions of a component class into table rows.
template <class C>
PropertyInfo integerProperty(std::string name, int (C::*get)() const, void (C::*set)(int)) {
    return {name, PropertyKind::Integer,
            [get](const Component& c) -> PropertyValue {
                return std::int64_t{(static_cast<const C&>(c).*get)()};
            },
            [set, n = name](Component& c, const PropertyValue& v) {
                (static_cast<C&>(c).*set)(static_cast<int>(toInteger(v, n)));
            }};
}

template <class C>
PropertyInfo floatProperty(std::string name, double (C::*get)() const, void (C::*set)(double)) {
    return {name, PropertyKind::Float,
            [get](const Component& c) -> PropertyValue { return (static_cast<const C&>(c).*get)(); },
            [set, n = name](Component& c, const PropertyValue& v) {
                (static_cast<C&>(c).*set)(toFloat(v, n));
            }};
}

template <class C>
PropertyInfo booleanProperty(std::string name, bool (C::*get)() const, void (C::*set)(bool)) {
    return {name, PropertyKind::Boolean,
            [get](const Component& c) -> PropertyValue {
                return Identifier{(static_cast<const C&>(c).*get)() ? "True" : "False"};
            },
            [set, n = name](Component& c, const PropertyValue& v) {
                (static_cast<C&>(c).*set)(toBoolean(v, n));
            }};
}

// Text-like kinds share one shape: a getter returning T (or const T&) and a setter taking
// const T&.
template <class C, class T, class Getter>
PropertyInfo valueProperty(std::string name, PropertyKind kind, Getter get,
                           void (C::*set)(const T&)) {
    return {name, kind,
            [get, kind](const Component& c) -> PropertyValue {
                T value = (static_cast<const C&>(c).*get)();
                if constexpr (std::is_same_v<T, std::string>) {
                    if (kind == PropertyKind::Enumeration) return Identifier{std::move(value)};
                }
                return value;
            },
            [set, kind, n = name](Component& c, const PropertyValue& v) {
                if constexpr (std::is_same_v<T, std::string>) {
                    (static_cast<C&>(c).*set)(kind == PropertyKind::Enumeration ? toIdentifier(v, n)
                                                                               : toText(v, n));
                } else if constexpr (std::is_same_v<T, StringList>) {
                    (static_cast<C&>(c).*set)(toStringList(v, n));
                } else if constexpr (std::is_same_v<T, SetValue>) {
                    (static_cast<C&>(c).*set)(toSet(v, n));
                } else {
                    (static_cast<C&>(c).*set)(toBytes(v, n));
                }
            }};
}

template <class C>
PropertyInfo eventProperty(std::string name, NotifyEvent C::*member) {
    return {name, PropertyKind::Event, {},
            [member, n = name](Component& c, const PropertyValue& v) {
                const auto* handler = std::get_if<NotifyEvent>(&v);
                if (handler == nullptr) throw EPropertyError("Event " + n + " needs a method");
                static_cast<C&>(c).*member = *handler;
            }};
}

}  // namespace framework
