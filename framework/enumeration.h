#pragma once
// Enumeration and set properties over C++ enums. Each published enumeration has one
// constant table that maps its values to the identifiers a page stores:
//
//   enum class TPosition { poDesigned, poScreenCenter };
//   template <> struct EnumTable<TPosition> {
//       static constexpr std::string_view what = "position";   // for messages
//       static constexpr EnumName<TPosition> names[] = {
//           {TPosition::poDesigned, "poDesigned"}, {TPosition::poScreenCenter, "poScreenCenter"}};
//   };
//
// Controls switch on the enum; only reading and writing goes through the names.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "framework/property_value.h"

namespace framework {

template <class E>
struct EnumName {
    E value;
    std::string_view name;
};

template <class E>
struct EnumTable;

template <class E>
concept PublishedEnum = std::is_enum_v<E> && requires {
    EnumTable<E>::names;
    EnumTable<E>::what;
};

// The stored identifier of a value; a value missing from the table is a programming error.
template <PublishedEnum E>
std::string_view enumName(E value) {
    for (const auto& entry : EnumTable<E>::names) {
        if (entry.value == value) return entry.name;
    }
    throw EPropertyError("Unnamed " + std::string(EnumTable<E>::what) + " value");
}

// The value of a stored identifier (compared without regard to case); an unknown
// identifier raises "Unknown <what> <name>".
template <PublishedEnum E>
E enumValue(std::string_view name) {
    for (const auto& entry : EnumTable<E>::names) {
        if (sameName(entry.name, name)) return entry.value;
    }
    throw EPropertyError("Unknown " + std::string(EnumTable<E>::what) + " " + std::string(name));
}

// A set of values of a published enumeration whose values lie in 0..63.
template <PublishedEnum E>
class Set {
public:
    Set() = default;
    Set(std::initializer_list<E> values) {
        for (E value : values) include(value);
    }
    bool contains(E value) const { return (m_bits & bit(value)) != 0; }
    void include(E value) { m_bits |= bit(value); }
    bool empty() const { return m_bits == 0; }
    bool operator==(const Set&) const = default;

    // Members in the order of the enumeration's table.
    SetValue toValue() const {
        SetValue out;
        for (const auto& entry : EnumTable<E>::names) {
            if (contains(entry.value)) out.members.emplace_back(entry.name);
        }
        return out;
    }
    static Set fromValue(const SetValue& value) {
        Set out;
        for (const std::string& member : value.members) out.include(enumValue<E>(member));
        return out;
    }

private:
    static std::uint64_t bit(E value) {
        const auto index = static_cast<std::uint64_t>(value);
        if (index >= 64) throw EPropertyError("Set member out of range");
        return std::uint64_t{1} << index;
    }
    std::uint64_t m_bits = 0;
};

}  // namespace framework
