#include "translation_targets.h"

#include "framework/component.h"

namespace mltlang {

namespace {

using framework::Component;
using framework::PropertyKind;

// Published string properties of framework components, by name.
class ComponentTargets : public TranslationTargets {
public:
    void SetStringProperty(Component* component, std::string_view property,
                           const std::string& text) override {
        if (component == nullptr || component->name().empty()) return;
        const framework::PropertyInfo* info = component->findProperty(property);
        if (info == nullptr || info->kind != PropertyKind::String || !info->set) return;
        try {
            info->set(*component, text);
        } catch (...) {
            // Setting a translated text never fails the caller.
        }
    }

    std::string GetStringProperty(const Component* component, std::string_view property) override {
        if (component == nullptr) return {};
        const framework::PropertyInfo* info = component->findProperty(property);
        if (info == nullptr || info->kind != PropertyKind::String || !info->get) return {};
        const framework::PropertyValue value = info->get(*component);
        const auto* text = std::get_if<std::string>(&value);
        return text != nullptr ? *text : std::string();
    }

    std::unique_ptr<TranslatableStrings> GetObjectProperty(Component*, std::string_view) override {
        return nullptr;
    }

    std::unique_ptr<TranslatableStrings> Collection(Component*, TextCollection) override {
        return nullptr;
    }

    std::uint32_t Handle(const Component*) override { return 0; }
    Component* FromHandle(std::uint32_t) override { return nullptr; }
};

TranslationTargets* currentTargets = nullptr;

}  // namespace

TranslationTargets& translationTargets() {
    static ComponentTargets componentTargets;
    return currentTargets != nullptr ? *currentTargets : componentTargets;
}

TranslationTargets* setTranslationTargets(TranslationTargets* targets) {
    TranslationTargets* previous = currentTargets;
    currentTargets = targets;
    return previous;
}

}  // namespace mltlang
