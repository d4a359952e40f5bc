#include "translation_targets.h"

#include "framework/component.h"
#include "framework/strings.h"

namespace mltlang {

namespace {

using framework::Component;
using framework::PropertyKind;

// A framework string list edited in place: putting a row keeps its mark and selection.
class FrameworkStrings : public TranslatableStrings {
public:
    explicit FrameworkStrings(framework::TStrings& strings) : m_strings(strings) {}
    int Count() const override { return m_strings.count(); }
    std::string Get(int index) const override { return m_strings.get(index); }
    void Put(int index, const std::string& text) override { m_strings.put(index, text); }

private:
    framework::TStrings& m_strings;
};

const framework::PropertyInfo* stringProperty(const Component& component, std::string_view name) {
    const framework::PropertyInfo* info = component.findProperty(name);
    return info != nullptr && info->kind == PropertyKind::String ? info : nullptr;
}

// The framework's components: properties by name, string lists in place, and the
// process-wide table of live components for handles.
class ComponentTargets : public TranslationTargets {
public:
    void SetStringProperty(Component* component, std::string_view property,
                           const std::string& text) override {
        if (component == nullptr || component->name().empty()) return;
        const framework::PropertyInfo* info = stringProperty(*component, property);
        if (info == nullptr || !info->set) return;
        try {
            info->set(*component, text);
        } catch (...) {
            // Setting a translated text never fails the caller.
        }
    }

    std::string GetStringProperty(const Component* component, std::string_view property) override {
        if (component == nullptr) return {};
        const framework::PropertyInfo* info = stringProperty(*component, property);
        if (info == nullptr || !info->get) return {};
        const framework::PropertyValue value = info->get(*component);
        const auto* text = std::get_if<std::string>(&value);
        return text != nullptr ? *text : std::string();
    }

    std::unique_ptr<TranslatableStrings> GetObjectProperty(Component* component,
                                                           std::string_view property) override {
        if (component == nullptr) return nullptr;
        const framework::PropertyInfo* info = component->findProperty(property);
        if (info == nullptr || info->kind != PropertyKind::Object || !info->object) return nullptr;
        auto* strings = dynamic_cast<framework::TStrings*>(info->object(*component));
        return strings != nullptr ? std::make_unique<FrameworkStrings>(*strings) : nullptr;
    }

    // The framework has no status bar, header control or list view.
    std::unique_ptr<TranslatableStrings> Collection(Component*, TextCollection) override {
        return nullptr;
    }

    std::uint32_t Handle(const Component* component) override {
        return component != nullptr ? component->handle() : 0;
    }
    Component* FromHandle(std::uint32_t handle) override { return Component::fromHandle(handle); }
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
