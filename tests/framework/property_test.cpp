// Typed properties: enumeration and set tables, integer ranges, and paths through
// object properties ("Items.Font.Size").

#include "framework/property.h"

#include <gtest/gtest.h>

#include "framework/component.h"
#include "framework/graphics.h"

using namespace framework;

namespace {

enum class TShade { shLight, shDark, shStriped };

}  // namespace

template <>
struct framework::EnumTable<TShade> {
    static constexpr std::string_view what = "shade";
    static constexpr EnumName<TShade> names[] = {
        {TShade::shLight, "shLight"}, {TShade::shDark, "shDark"}, {TShade::shStriped, "shStriped"}};
};

namespace {

// A sub-object such as a translation container: binary data and a font of its own.
class TContainer : public Persistent {
    FRAMEWORK_CLASS(Persistent)

    TContainer() = default;
    Bytes objectContainer() const { return m_data; }
    void setObjectContainer(const Bytes& value) { m_data = value; }
    TFont& Font() { return m_font; }

private:
    Bytes m_data;
    TFont m_font;
};

const ClassInfo& TContainer::staticClassInfo() {
    using C = TContainer;
    return declareClass<C>("TContainer", [] {
        return std::vector<PropertyInfo>{
            valueProperty("ObjectContainer", &C::objectContainer, &C::setObjectContainer),
            objectProperty("Font", &C::Font),
        };
    });
}

class TCarrier : public Component {
    FRAMEWORK_CLASS(Component)

    explicit TCarrier(Component* owner) : Component(owner) {}
    TContainer& Items() { return m_items; }
    TShade shade() const { return m_shade; }
    void setShade(TShade value) { m_shade = value; }
    Set<TShade> shades() const { return m_shades; }
    void setShades(const Set<TShade>& value) { m_shades = value; }
    int count() const { return m_count; }
    void setCount(int value) { m_count = value; }

private:
    TContainer m_items;
    TShade m_shade = TShade::shLight;
    Set<TShade> m_shades;
    int m_count = 0;
};

const ClassInfo& TCarrier::staticClassInfo() {
    using C = TCarrier;
    return declareClass<C>("TCarrier", [] {
        return std::vector<PropertyInfo>{
            objectProperty("Items", &C::Items),
            valueProperty("Shade", &C::shade, &C::setShade),
            valueProperty("Shades", &C::shades, &C::setShades),
            valueProperty("Count", &C::count, &C::setCount),
        };
    });
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EPropertyError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(Property, KindsFollowTheAccessorTypes) {
    const ClassInfo& info = TCarrier::staticClassInfo();
    EXPECT_EQ(info.findProperty("Items")->kind, PropertyKind::Object);
    EXPECT_EQ(info.findProperty("Shade")->kind, PropertyKind::Enumeration);
    EXPECT_EQ(info.findProperty("Shades")->kind, PropertyKind::Set);
    EXPECT_EQ(info.findProperty("Count")->kind, PropertyKind::Integer);
    EXPECT_EQ(info.findProperty("Name")->kind, PropertyKind::String);
    EXPECT_TRUE(ClassRegistry::instance().contains("TCarrier"));     // declared is registered
    EXPECT_FALSE(ClassRegistry::instance().contains("TContainer"));  // no component
}

TEST(Property, PathRunsThroughTwoObjectProperties) {
    TCarrier carrier(nullptr);
    carrier.setProperty("Items.Font.Size", std::int64_t{10});
    EXPECT_EQ(carrier.Items().Font().height(), -13);
    EXPECT_EQ(std::get<std::int64_t>(carrier.property("items.font.height")), -13);
    carrier.setProperty("Items.Font.Style", SetValue{{"fsItalic", "fsBold"}});
    EXPECT_EQ(std::get<SetValue>(carrier.property("Items.Font.Style")),
              (SetValue{{"fsBold", "fsItalic"}}));

    carrier.setProperty("Items.ObjectContainer", Bytes{1, 2, 3});
    EXPECT_EQ(carrier.Items().objectContainer(), (Bytes{1, 2, 3}));
    EXPECT_EQ(carrier.objectAt("Items.Font"), &carrier.Items().Font());
    EXPECT_EQ(carrier.objectAt("Items.Font.Size"), nullptr);
    EXPECT_EQ(carrier.objectAt("Shade"), nullptr);
}

TEST(Property, BadPathsAndValuesAreClearErrors) {
    TCarrier carrier(nullptr);
    const std::vector<std::pair<std::function<void()>, std::string>> rows = {
        {[&] { carrier.setProperty("Items.Nothing", std::int64_t{1}); },
         "TCarrier has no writable property Items.Nothing"},
        {[&] { carrier.setProperty("Items.Font.Size.Unit", std::int64_t{1}); },
         "TCarrier has no writable property Items.Font.Size.Unit"},
        {[&] { carrier.setProperty("Shade.Depth", std::int64_t{1}); },
         "TCarrier has no writable property Shade.Depth"},
        {[&] { carrier.property("Items.Font.Nothing"); },
         "TCarrier has no readable property Items.Font.Nothing"},
        {[&] { carrier.setProperty("Items", std::int64_t{1}); },
         "TContainer takes its values by property path"},
        {[&] { carrier.setProperty("Shade", Identifier{"shPale"}); }, "Unknown shade shPale"},
        {[&] { carrier.setProperty("Shade", std::string("shDark")); },
         "Property Shade needs an identifier"},
        {[&] {
             carrier.setProperty("Shades", SetValue{{"shDark", "shPale"}});
         },
         "Unknown shade shPale"},
        {[&] { carrier.setProperty("Count", std::int64_t{1} << 40); },
         "Property Count is out of range"},
        {[&] { carrier.setProperty("Items.Font.Color", Identifier{"clPurpleHaze"}); },
         "Unknown colour clPurpleHaze"},
    };
    for (const auto& [action, message] : rows) EXPECT_EQ(errorOf(action), message);
    EXPECT_EQ(carrier.shade(), TShade::shLight);  // nothing half-set
    EXPECT_TRUE(carrier.shades().empty());
}

TEST(Property, EnumerationsAndSetsGoThroughTheirTable) {
    TCarrier carrier(nullptr);
    carrier.setProperty("Shade", Identifier{"SHDARK"});  // identifiers compare without case
    EXPECT_EQ(carrier.shade(), TShade::shDark);
    EXPECT_EQ(std::get<Identifier>(carrier.property("Shade")).name, "shDark");

    carrier.setProperty("Shades", SetValue{{"shStriped", "shLight"}});
    EXPECT_TRUE(carrier.shades().contains(TShade::shStriped));
    EXPECT_FALSE(carrier.shades().contains(TShade::shDark));
    // Written back in the table's order, whatever order was read.
    EXPECT_EQ(std::get<SetValue>(carrier.property("Shades")), (SetValue{{"shLight", "shStriped"}}));
    carrier.setProperty("Shades", SetValue{});
    EXPECT_TRUE(carrier.shades().empty());
}
