#pragma once
// Published properties: the run-time type information through which a page definition
// is read, and components are reached by property name or path ("Font.Size",
// "Items.ObjectContainer").
//
// A class declares its class information once, in its header with FRAMEWORK_CLASS(Parent)
// and in its source with declareClass, which also registers a creatable component class
// under its stored name (see the framework section of the README):
//
//   const ClassInfo& TButton::staticClassInfo() {
//       return declareClass<TButton>("TButton", [] {
//           return std::vector<PropertyInfo>{
//               valueProperty("Caption", &TButton::caption, &TButton::setCaption),
//               eventProperty("OnClick", &TButton::OnClick),
//               objectProperty("Font", &TButton::Font)};
//       });
//   }
//
// A value property's kind follows from its accessors' type: int, double, bool,
// std::string, StringList, Bytes, a published enumeration, a Set of one, Identifier
// (a name the setter checks itself) or a pointer to a component class (a reference to
// another component of the page, resolved once the whole page is read).

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "enumeration.h"
#include "event.h"
#include "framework/property_value.h"

namespace framework {

class ClassInfo;

enum class PropertyKind {
    Integer,
    Float,
    Boolean,
    String,
    StringList,
    Enumeration,
    Set,
    Binary,
    Event,
    Object,
    Reference
};

class Persistent;

struct PropertyInfo {
    std::string name;
    PropertyKind kind;
    std::function<PropertyValue(const Persistent&)> get;         // empty: write-only
    std::function<void(Persistent&, const PropertyValue&)> set;  // empty: read-only
    std::function<Persistent*(Persistent&)> object;  // object properties: the sub-object
    const std::type_info* signature = nullptr;       // events: void(Component*, ...)
};

// The run-time type information of one class: its stored name, its parent class and its
// own published properties, in declaration order.
class ClassInfo {
public:
    ClassInfo(std::string name, const ClassInfo* parent, std::vector<PropertyInfo> properties);

    const std::string& name() const { return m_name; }
    const ClassInfo* parent() const { return m_parent; }
    const std::vector<PropertyInfo>& ownProperties() const { return m_properties; }
    // Looks through this class and its ancestors; names compare without regard to case.
    const PropertyInfo* findProperty(std::string_view name) const;

private:
    std::string m_name;
    const ClassInfo* m_parent;
    std::vector<PropertyInfo> m_properties;
};

// In a class body: names the parent class and declares the class information.
#define FRAMEWORK_CLASS(ParentClass)                        \
public:                                                     \
    using Inherited = ParentClass;                          \
    static const ::framework::ClassInfo& staticClassInfo(); \
    const ::framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

// Anything with published properties: components and the objects they hold in object
// properties (a font, a string list, a picture).
class Persistent {
public:
    using Inherited = void;
    Persistent() = default;
    virtual ~Persistent() = default;
    Persistent(const Persistent&) = delete;
    Persistent& operator=(const Persistent&) = delete;

    static const ClassInfo& staticClassInfo();
    virtual const ClassInfo& classInfo() const;
    const std::string& className() const { return classInfo().name(); }
    // This class's own property of that name (no path), or nullptr.
    const PropertyInfo* findProperty(std::string_view name) const;

    // Properties by path ("Caption", "Font.Size"); unknown names and wrong kinds raise
    // EPropertyError.
    PropertyValue property(std::string_view path) const;
    void setProperty(std::string_view path, const PropertyValue& value);
    // The object at a path of object properties ("Items", "Font"), or nullptr.
    Persistent* objectAt(std::string_view path);

    // An object property given a whole value (a string list given its rows) takes it
    // here, and reads back as storedValue; by default neither is possible.
    virtual void assignValue(const PropertyValue& value);
    virtual PropertyValue storedValue() const;
};

// Where a property path leads: the object holding the last step and that step's
// property (nullptr when some step does not exist or is no object property).
struct PropertyTarget {
    Persistent* object = nullptr;
    const PropertyInfo* info = nullptr;
};
PropertyTarget resolveProperty(Persistent& root, std::string_view path);

class Component;
using ComponentFactory = std::unique_ptr<Component> (*)(Component* owner);
// type: the C++ class the factory creates.
void registerClass(const ClassInfo& info, ComponentFactory factory, const std::type_info& type);

template <class T>
std::unique_ptr<Component> createComponent(Component* owner) {
    return std::make_unique<T>(owner);
}

// Builds C's class information once (properties() returns its own properties) and, for
// a component class with a public constructor taking the owner, registers it so that
// page definitions can create it.
template <class C, class F>
const ClassInfo& declareClass(std::string_view name, F properties) {
    static const ClassInfo info = [&] {
        const ClassInfo* parent = nullptr;
        if constexpr (!std::is_void_v<typename C::Inherited>) {
            parent = &C::Inherited::staticClassInfo();
        }
        return ClassInfo(std::string(name), parent, properties());
    }();
    if constexpr (std::is_constructible_v<C, Component*> && !std::is_abstract_v<C>) {
        static const bool registered = (registerClass(info, &createComponent<C>, typeid(C)), true);
        (void)registered;
    }
    return info;
}

// How a C++ type is stored: its kind and its conversions to and from stored values.
template <class T>
struct ValueTraits;

template <>
struct ValueTraits<int> {
    static constexpr PropertyKind kind = PropertyKind::Integer;
    static PropertyValue toValue(int value) { return std::int64_t{value}; }
    static int fromValue(const PropertyValue& value, std::string_view property) {
        const std::int64_t i = toInteger(value, property);
        if (i < std::numeric_limits<int>::min() || i > std::numeric_limits<int>::max()) {
            throw EPropertyError("Property " + std::string(property) + " is out of range");
        }
        return static_cast<int>(i);
    }
};

template <>
struct ValueTraits<double> {
    static constexpr PropertyKind kind = PropertyKind::Float;
    static PropertyValue toValue(double value) { return value; }
    static double fromValue(const PropertyValue& value, std::string_view property) {
        return toFloat(value, property);
    }
};

template <>
struct ValueTraits<bool> {
    static constexpr PropertyKind kind = PropertyKind::Boolean;
    static PropertyValue toValue(bool value) { return Identifier{value ? "True" : "False"}; }
    static bool fromValue(const PropertyValue& value, std::string_view property) {
        return toBoolean(value, property);
    }
};

template <>
struct ValueTraits<std::string> {
    static constexpr PropertyKind kind = PropertyKind::String;
    static PropertyValue toValue(const std::string& value) { return value; }
    static std::string fromValue(const PropertyValue& value, std::string_view property) {
        return toText(value, property);
    }
};

template <>
struct ValueTraits<StringList> {
    static constexpr PropertyKind kind = PropertyKind::StringList;
    static PropertyValue toValue(const StringList& value) { return value; }
    static StringList fromValue(const PropertyValue& value, std::string_view property) {
        return toStringList(value, property);
    }
};

template <>
struct ValueTraits<Bytes> {
    static constexpr PropertyKind kind = PropertyKind::Binary;
    static PropertyValue toValue(const Bytes& value) { return value; }
    static Bytes fromValue(const PropertyValue& value, std::string_view property) {
        return toBytes(value, property);
    }
};

// A name whose setter checks it (an open list of identifiers).
template <>
struct ValueTraits<Identifier> {
    static constexpr PropertyKind kind = PropertyKind::Enumeration;
    static PropertyValue toValue(const Identifier& value) { return value; }
    static Identifier fromValue(const PropertyValue& value, std::string_view property) {
        return Identifier{toIdentifier(value, property)};
    }
};

template <PublishedEnum E>
struct ValueTraits<E> {
    static constexpr PropertyKind kind = PropertyKind::Enumeration;
    static PropertyValue toValue(E value) { return Identifier{std::string(enumName(value))}; }
    static E fromValue(const PropertyValue& value, std::string_view property) {
        return enumValue<E>(toIdentifier(value, property));
    }
};

template <PublishedEnum E>
struct ValueTraits<Set<E>> {
    static constexpr PropertyKind kind = PropertyKind::Set;
    static PropertyValue toValue(const Set<E>& value) { return value.toValue(); }
    static Set<E> fromValue(const PropertyValue& value, std::string_view property) {
        return Set<E>::fromValue(toSet(value, property));
    }
};

namespace detail {

template <class M>
struct GetterOf;
template <class C, class R>
struct GetterOf<R (C::*)() const> {
    using Class = C;
    using Type = std::remove_cvref_t<R>;
};

template <class M>
struct SetterOf;
template <class C, class A>
struct SetterOf<void (C::*)(A)> {
    using Class = C;
    using Type = std::remove_cvref_t<A>;
};

template <class G>
std::function<PropertyValue(const Persistent&)> getter(G get) {
    using Traits = GetterOf<G>;
    return [get](const Persistent& p) -> PropertyValue {
        return ValueTraits<typename Traits::Type>::toValue(
            (static_cast<const typename Traits::Class&>(p).*get)());
    };
}

}  // namespace detail

// A value property; the kind follows from the type the accessors share.
template <class G, class S>
PropertyInfo valueProperty(std::string name, G get, S set) {
    using T = typename detail::GetterOf<G>::Type;
    using Target = typename detail::SetterOf<S>::Class;
    static_assert(std::is_same_v<T, typename detail::SetterOf<S>::Type>,
                  "getter and setter of a property must share their type");
    return {name,
            ValueTraits<T>::kind,
            detail::getter(get),
            [set, name](Persistent& p, const PropertyValue& v) {
                (static_cast<Target&>(p).*set)(ValueTraits<T>::fromValue(v, name));
            },
            {}};
}

// A read-only value property: setting it is an error.
template <class G>
PropertyInfo valueProperty(std::string name, G get) {
    using T = typename detail::GetterOf<G>::Type;
    return {std::move(name), ValueTraits<T>::kind, detail::getter(get), {}, {}};
}

// A value property over a field, published by name as it stands (as Qt's MEMBER does): a
// public field of the class, or a field of the part that holder returns.
template <class C, class T>
PropertyInfo memberProperty(std::string name, T C::*field) {
    return {name,
            ValueTraits<T>::kind,
            [field](const Persistent& p) {
                return ValueTraits<T>::toValue(static_cast<const C&>(p).*field);
            },
            [field, name](Persistent& p, const PropertyValue& v) {
                static_cast<C&>(p).*field = ValueTraits<T>::fromValue(v, name);
            },
            {}};
}

template <class C, class H, class T>
PropertyInfo memberProperty(std::string name, H& (C::*holder)(), T H::*field) {
    auto part = [holder](const Persistent& p) -> H& {
        return (static_cast<C&>(const_cast<Persistent&>(p)).*holder)();
    };
    return {name,
            ValueTraits<T>::kind,
            [part, field](const Persistent& p) { return ValueTraits<T>::toValue(part(p).*field); },
            [part, field, name](Persistent& p, const PropertyValue& v) {
                part(p).*field = ValueTraits<T>::fromValue(v, name);
            },
            {}};
}

// A set property over an integer of flags, the published enumeration's values being the
// flags (1, 2, 4, ...); members read back in the order of the enumeration's table.
template <PublishedEnum E, class C, class Bits>
PropertyInfo flagsProperty(std::string name, Bits (C::*get)() const, void (C::*set)(Bits)) {
    return {name,
            PropertyKind::Set,
            [get](const Persistent& p) -> PropertyValue {
                SetValue out;
                const Bits bits = (static_cast<const C&>(p).*get)();
                for (const auto& entry : EnumTable<E>::names) {
                    if ((bits & entry.value) != 0) out.members.emplace_back(entry.name);
                }
                return out;
            },
            [set, name](Persistent& p, const PropertyValue& v) {
                Bits bits = 0;
                for (const std::string& member : toSet(v, name).members)
                    bits |= enumValue<E>(member);
                (static_cast<C&>(p).*set)(bits);
            },
            {}};
}

// An event property over a public Event member; it reads back as its method's name.
template <class C, class... Args>
PropertyInfo eventProperty(std::string name, Event<Args...> C::*member) {
    PropertyInfo info{name,
                      PropertyKind::Event,
                      [member](const Persistent& p) -> PropertyValue {
                          return Identifier{(static_cast<const C&>(p).*member).methodName()};
                      },
                      [member, name](Persistent& p, const PropertyValue& v) {
                          const auto* method = std::get_if<MethodReference>(&v);
                          if (method == nullptr)
                              throw EPropertyError("Event " + name + " needs a method");
                          (static_cast<C&>(p).*member).assign(*method, name);
                      },
                      {}};
    info.signature = &typeid(typename Event<Args...>::Signature);
    return info;
}

// An object property: a sub-object with its own published properties, reached by path
// ("Font.Size"); given a whole value it passes it to the object's assignValue.
template <class C, class T>
PropertyInfo objectProperty(std::string name, T& (C::*accessor)()) {
    auto object = [accessor](Persistent& p) -> Persistent* {
        return &(static_cast<C&>(p).*accessor)();
    };
    return {
        std::move(name), PropertyKind::Object,
        [object](const Persistent& p) { return object(const_cast<Persistent&>(p))->storedValue(); },
        [object](Persistent& p, const PropertyValue& v) { object(p)->assignValue(v); }, object};
}

}  // namespace framework
