#pragma once
// Property values as a page definition stores them, free of any window system so that
// the page compiler can read definitions at build time.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <variant>
#include <vector>
#include "base/errors.h"

namespace framework {

class Component;

struct Identifier {
    std::string name;  // an enumeration value, a boolean, a method or a component, as written
    bool operator==(const Identifier&) const = default;
};
struct SetValue {
    std::vector<std::string> members;
    bool operator==(const SetValue&) const = default;
};
using StringList = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// A published method of a page, as an event property takes it: its name, its parameter
// list and the callable (a std::function of exactly that signature).
struct MethodReference {
    std::string name;
    const std::type_info* signature = nullptr;
    std::string parameters;  // for messages, e.g. "(Sender, bool&)"
    std::shared_ptr<const void> handler;
    bool operator==(const MethodReference& other) const {
        return name == other.name && signature == other.signature;
    }
};

using PropertyValue = std::variant<std::int64_t, double, std::string, Identifier, SetValue,
                                   StringList, Bytes, MethodReference, Component*>;

// Raised for an unknown property, a value of the wrong kind or a bad enumeration name.
class EPropertyError : public base::Exception {
public:
    using Exception::Exception;
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

// Names of properties, classes and enumeration values compare without regard to case.
bool sameName(std::string_view a, std::string_view b);

}  // namespace framework
