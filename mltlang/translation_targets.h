#pragma once
// What translation items need of the components they translate: string properties by
// name, string lists edited in place, the texts of panels, sections and columns, and a
// 32-bit handle that names a live component within the process. The framework provides
// the real implementation; tests provide their own, so that items run without a window.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace framework {
class Component;
}

namespace mltlang {

// Lines (or panel, section, column texts) of a component, edited in place: Put keeps
// whatever else the row carries (a check mark, a selection). Get and Put raise the list's
// index error beyond Count.
class TranslatableStrings {
public:
    virtual ~TranslatableStrings() = default;
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& text) = 0;
};

enum class TextCollection { StatusPanels, HeaderSections, ListColumns };

class TranslationTargets {
public:
    virtual ~TranslationTargets() = default;
    // Sets a published long-string property when the component exists, has a name and has
    // such a property; never fails.
    virtual void SetStringProperty(framework::Component* component, std::string_view property,
                                   const std::string& text) = 0;
    // The property's text; empty when there is no such string property.
    virtual std::string GetStringProperty(const framework::Component* component,
                                          std::string_view property) = 0;
    // The string list held by the property, or nullptr.
    virtual std::unique_ptr<TranslatableStrings> GetObjectProperty(framework::Component* component,
                                                                   std::string_view property) = 0;
    // The panels, sections or columns of such a control, or nullptr for other components.
    virtual std::unique_ptr<TranslatableStrings> Collection(framework::Component* component,
                                                            TextCollection kind) = 0;
    // The component's handle (0 for nullptr) and the live component a handle names.
    virtual std::uint32_t Handle(const framework::Component* component) = 0;
    virtual framework::Component* FromHandle(std::uint32_t handle) = 0;
};

// The targets every item uses; replaceable (tests), returns the previous ones.
TranslationTargets& translationTargets();
TranslationTargets* setTranslationTargets(TranslationTargets* targets);

}  // namespace mltlang
