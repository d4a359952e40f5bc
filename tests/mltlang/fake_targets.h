#pragma once
// Translation targets without a window: components are plain framework components, their
// string properties, string lists and collections live here by component and name, and
// handles come from a table of the components the test declares.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/component.h"
#include "mltlang/translation_targets.h"

namespace mltlang_test {

struct FakeRow {
    std::string text;
    bool checked = false;
};

// A list whose rows carry a check mark that Put must keep.
class FakeStrings : public mltlang::TranslatableStrings {
public:
    explicit FakeStrings(std::vector<FakeRow>& rows) : m_rows(rows) {}
    int Count() const override { return static_cast<int>(m_rows.size()); }
    std::string Get(int index) const override { return row(index).text; }
    void Put(int index, const std::string& text) override { row(index).text = text; }

private:
    FakeRow& row(int index) const {
        if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
        return m_rows[static_cast<std::size_t>(index)];
    }
    std::vector<FakeRow>& m_rows;
};

class FakeTargets : public mltlang::TranslationTargets {
public:
    FakeTargets() : m_previous(mltlang::setTranslationTargets(this)) {}
    ~FakeTargets() override { mltlang::setTranslationTargets(m_previous); }
    FakeTargets(const FakeTargets&) = delete;
    FakeTargets& operator=(const FakeTargets&) = delete;

    // A named component with string properties.
    framework::Component& add(const std::string& name) {
        auto component = std::make_unique<framework::Component>(nullptr);
        component->setName(name);
        m_components.push_back(std::move(component));
        return *m_components.back();
    }

    // The string property of a component (created empty: the component then has it).
    std::string& text(const framework::Component& component, const std::string& property) {
        return strings[{&component, property}];
    }
    std::vector<FakeRow>& rows(const framework::Component& component,
                               mltlang::TextCollection kind) {
        return collections[{&component, kind}];
    }

    std::map<std::pair<const framework::Component*, std::string>, std::string> strings;
    std::map<std::pair<const framework::Component*, std::string>, std::vector<FakeRow>> lists;
    std::map<std::pair<const framework::Component*, mltlang::TextCollection>, std::vector<FakeRow>>
        collections;
    int stringWrites = 0;

    void SetStringProperty(framework::Component* component, std::string_view property,
                           const std::string& text) override {
        if (component == nullptr || component->name().empty()) return;
        auto it = strings.find({component, std::string(property)});
        if (it == strings.end()) return;
        it->second = text;
        ++stringWrites;
    }
    std::string GetStringProperty(const framework::Component* component,
                                  std::string_view property) override {
        auto it = strings.find({component, std::string(property)});
        return it == strings.end() ? std::string() : it->second;
    }
    std::unique_ptr<mltlang::TranslatableStrings> GetObjectProperty(
        framework::Component* component, std::string_view property) override {
        auto it = lists.find({component, std::string(property)});
        return it == lists.end() ? nullptr : std::make_unique<FakeStrings>(it->second);
    }
    std::unique_ptr<mltlang::TranslatableStrings> Collection(
        framework::Component* component, mltlang::TextCollection kind) override {
        auto it = collections.find({component, kind});
        return it == collections.end() ? nullptr : std::make_unique<FakeStrings>(it->second);
    }
    std::uint32_t Handle(const framework::Component* component) override {
        for (std::size_t i = 0; i < m_components.size(); ++i) {
            if (m_components[i].get() == component) return static_cast<std::uint32_t>(i + 1);
        }
        return 0;
    }
    framework::Component* FromHandle(std::uint32_t handle) override {
        return handle >= 1 && handle <= m_components.size() ? m_components[handle - 1].get()
                                                            : nullptr;
    }

private:
    mltlang::TranslationTargets* m_previous;
    std::vector<std::unique_ptr<framework::Component>> m_components;
};

}  // namespace mltlang_test
