#include "property_value.h"

#include <algorithm>
#include <cctype>

namespace framework {

namespace {

[[noreturn]] void wrongKind(std::string_view property, std::string_view wanted) {
    throw EPropertyError("Property " + std::string(property) + " needs " + std::string(wanted));
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
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

}  // namespace framework
