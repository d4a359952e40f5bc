#include "mltlang.h"

#include <algorithm>
#include <vector>

#include "framework/form.h"

namespace mltlang {

using framework::Component;

namespace {

// What every instance shares for the life of the process.
struct SharedState {
    std::vector<TMltLang*> Instances;  // in creation order
    bool Propagating = false;
    int LastLangIndex = 0;
    TLangid LastLangId = lgNEUTRAL;
    bool LastSetById = false;
    std::string ExeDir;
    std::unique_ptr<TConfiguration> Configuration;
    DesignHost* Host = nullptr;
};

SharedState& shared() {
    static SharedState state;
    return state;
}

std::string configurationPath() { return shared().ExeDir + TConfiguration::kFileName; }

// Raises the flag for its lifetime: the other instances switch without passing it on.
class Propagation {
public:
    Propagation() { shared().Propagating = true; }
    ~Propagation() { shared().Propagating = false; }
    Propagation(const Propagation&) = delete;
    Propagation& operator=(const Propagation&) = delete;
};

template <class Call>
void propagate(TMltLang* from, Call call) {
    if (shared().Propagating) return;
    Propagation guard;
    const std::vector<TMltLang*> others = shared().Instances;  // handlers may add pages
    for (TMltLang* other : others) {
        const auto& live = shared().Instances;
        if (other != from && std::find(live.begin(), live.end(), other) != live.end()) call(*other);
    }
}

void loadConfiguration(DesignHost& host) {
    SharedState& s = shared();
    if (s.ExeDir.empty()) s.ExeDir = host.ExeDir();
    if (s.Configuration) return;
    try {
        s.Configuration = std::make_unique<TConfiguration>(s.ExeDir, configurationPath());
        return;
    } catch (const std::exception&) {
        s.Configuration = std::make_unique<TConfiguration>(s.ExeDir);
    }
    try {
        s.Configuration->SaveToFile(configurationPath());
        host.ShowInformation("New configuration file created in:\n" + configurationPath());
    } catch (const std::exception&) {
        host.ShowInformation("Error writing new configuration file in:\n" + configurationPath());
    }
}

// The last component going writes the configuration back. A destructor cannot pass an
// error on, so a failed write is shown instead.
void saveConfiguration() {
    SharedState& s = shared();
    if (!s.Configuration) return;
    try {
        s.Configuration->SaveToFile(configurationPath());
    } catch (const std::exception& e) {
        if (s.Host != nullptr) s.Host->ShowInformation(e.what());
    }
    s.Configuration.reset();
    s.ExeDir.clear();
}

}  // namespace

DesignHost* setDesignHost(DesignHost* host) {
    DesignHost* previous = shared().Host;
    shared().Host = host;
    return previous;
}

Component* FindComponentByRef(Component* root, const Component* target) {
    if (target == nullptr || root == nullptr) return nullptr;
    if (root == target) return root;
    for (int i = 0; i < root->componentCount(); ++i) {
        Component* child = root->component(i);
        if (child->componentCount() > 0) {
            if (Component* found = FindComponentByRef(child, target)) return found;
        }
        if (child == target) return child;
    }
    return nullptr;
}

Component* FindComponentByName(Component* root, const std::string& name) {
    if (root == nullptr) return nullptr;
    if (root->name() == name) return root;
    for (int i = 0; i < root->componentCount(); ++i) {
        Component* child = root->component(i);
        if (child->componentCount() > 0) {
            if (Component* found = FindComponentByName(child, name)) return found;
        }
        if (child->name() == name) return child;
    }
    return nullptr;
}

const framework::ClassInfo& TMltLang::staticClassInfo() {
    using C = TMltLang;
    using framework::eventProperty;
    using framework::valueProperty;
    // The stored order is behaviour: MaxLang extends the languages before the container
    // replaces them, and LangId relabels a slot of the list read.
    return framework::declareClass<C>("TMltLang", [] {
        return std::vector<framework::PropertyInfo>{
            valueProperty("ActiveLang", &C::ActiveLang, &C::SetActiveLang),
            valueProperty("ActiveLangById", &C::ActiveLangById, &C::SetActiveLangById),
            valueProperty("MaxLang", &C::MaxLang, &C::SetMaxLang),
            framework::objectProperty("Items", &C::itemsProperty),
            valueProperty("DefDictionary", &C::DefDictionary, &C::SetDefDictionary),
            valueProperty("LangId", &C::LangId, &C::SetLangId),
            eventProperty("OnBeforeChanging", &C::OnBeforeChanging),
            eventProperty("OnLanguageChanged", &C::OnLanguageChanged)};
    });
}

TMltLang::TMltLang(Component* owner) : Component(owner), m_items(std::make_unique<TInfoList>()) {
    RegisterMltLangClasses();
    shared().Instances.push_back(this);
    if (designing() && shared().Host != nullptr) loadConfiguration(*shared().Host);
    FDefDictionary = "default.dct";
    SetMaxLang(2);
    if (designing() && shared().Configuration) {
        FActiveLang = 0;
        SetMaxLang(shared().Configuration->DefaultMaxLang);
        FDefDictionary = shared().Configuration->DefaultDictionary;
    }
}

TMltLang::~TMltLang() {
    m_showHook.reset();
    std::erase(shared().Instances, this);
    if (shared().Instances.empty()) saveConfiguration();
}

int TMltLang::LastLangIndex() { return shared().LastLangIndex; }
TLangid TMltLang::LastLangId() { return shared().LastLangId; }
bool TMltLang::LastSetById() { return shared().LastSetById; }
const TConfiguration* TMltLang::Configuration() { return shared().Configuration.get(); }

void TMltLang::SetActiveLang(int value) {
    // A negative index names no slot; refusing it keeps every later lookup in range.
    if (value < 0) return;
    if (hasState(framework::csReading)) {
        FActiveLang = value;
        return;
    }
    if (value >= MaxLang() || !changeAllowed()) return;
    switchTo(value);
    propagate(this, [&](TMltLang& other) { other.SetActiveLang(FActiveLang); });
    rememberRunTimeChange(false, lgNEUTRAL);
    framework::raiseEvent(OnLanguageChanged, this);
}

void TMltLang::SetActiveLangById(TLangid id) {
    if (hasState(framework::csReading)) return;
    int index = -1;
    for (int i = 0; i < Items().Languages.Count(); ++i) {
        if (Items().Languages.GetId(i) == id) index = i;
    }
    if (index < 0 || index >= MaxLang() || !changeAllowed()) return;
    switchTo(index);
    propagate(this, [&](TMltLang& other) { other.SetActiveLangById(id); });
    rememberRunTimeChange(true, id);
    framework::raiseEvent(OnLanguageChanged, this);
}

bool TMltLang::changeAllowed() {
    bool allowed = true;
    return framework::raiseEvent(OnBeforeChanging, this, allowed) && allowed;
}

// Passes through language 0 first, so a text missing in the new language shows in
// language 0 rather than in the language left.
void TMltLang::switchTo(int index) {
    if (designing()) {
        SyncItems();
        ReadBackAll();
    }
    if (index != FActiveLang && FActiveLang != 0) {
        FActiveLang = 0;
        ApplyAll();
    }
    if (index != FActiveLang) {
        FActiveLang = index;
        ApplyAll();
    }
}

void TMltLang::rememberRunTimeChange(bool byId, TLangid id) {
    if (designing()) return;
    SharedState& s = shared();
    if (byId) {
        s.LastLangId = id;
    } else {
        s.LastLangIndex = FActiveLang;
    }
    s.LastSetById = byId;
}

void TMltLang::SetMaxLang(int value) {
    if (value < 2 || value <= FActiveLang || value > kLangidCount) return;
    TLngLst& languages = Items().Languages;
    const TConfiguration* configuration = shared().Configuration.get();
    while (languages.Count() < value) {
        const int p = languages.Count();
        auto slot = std::make_unique<TLngId>();
        slot->Id = configuration != nullptr && p < configuration->Languages->Count()
                       ? configuration->Languages->GetId(p)
                       : DefaultLangOrder[static_cast<std::size_t>(p)];
        languages.AddNew(std::move(slot));
    }
    for (int i = value; i < languages.Count(); ++i) {
        languages.FreeItem(languages.Get(i));
        languages.Put(i, nullptr);
    }
    languages.Pack();
    for (int i = 0; i < Items().Count(); ++i) {
        if (TCI* item = Items().Item(i)) item->SetLength(value);
    }
}

TLangid TMltLang::GetLangId() const {
    const TLngLst& languages = Items().Languages;
    if (FActiveLang < 0 || FActiveLang >= languages.Count()) return lgNEUTRAL;
    return languages.GetId(FActiveLang);
}

void TMltLang::SetLangId(TLangid id) { Items().Languages.Entry(FActiveLang).Id = id; }

TInfoList& TMltLang::GetItems() {
    SyncItems();
    ReadBackAll();
    return Items();
}

void TMltLang::SetItems(const TInfoList& value) {
    Items().Assign(value);
    ApplyAll();
}

framework::TForm* TMltLang::OwnerForm() const {
    for (Component* c = owner(); c != nullptr; c = c->owner()) {
        if (auto* form = dynamic_cast<framework::TForm*>(c)) return form;
    }
    return nullptr;
}

void TMltLang::SyncItems() {
    Component* form = OwnerForm();
    TInfoList& items = Items();
    for (int i = 0; i < items.Count(); ++i) {
        TCI* item = items.Item(i);
        Component* found = item != nullptr ? FindComponentByRef(form, item->Component) : nullptr;
        if (found != nullptr) {
            item->CompName = found->name();
            item->CompIndex = found->componentIndex();
        } else {
            items.FreeItem(items.Get(i));
            items.Put(i, nullptr);
        }
    }
    items.Pack();
}

void TMltLang::ApplyAll() {
    TInfoList& items = Items();
    for (int i = 0; i < items.Count(); ++i) {
        TCI* item = items.Item(i);
        if (item != nullptr && item->Component != nullptr)
            item->ApplyToComponent(FActiveLang, designing());
    }
}

void TMltLang::ReadBackAll() {
    TInfoList& items = Items();
    for (int i = 0; i < items.Count(); ++i) {
        TCI* item = items.Item(i);
        if (item != nullptr && item->Component != nullptr) item->ReadFromComponent(FActiveLang);
    }
}

void TMltLang::Loaded() {
    Component::Loaded();
    framework::TForm* form = OwnerForm();
    bindItems(form);
    if (designing()) {
        ApplyAll();
        return;
    }
    if (shared().LastSetById) {
        SetActiveLangById(shared().LastLangId);
    } else {
        SetActiveLang(shared().LastLangIndex);
    }
    if (form != nullptr) {
        m_showHook = form->addMessageHook([this, form](const framework::FormMessage& message) {
            if (message.kind == framework::FormMessageKind::Show) FormShowHook(form);
        });
    }
}

// By name; an item naming no control is dropped, unless it is the page's own (-1).
void TMltLang::bindItems(Component* form) {
    TInfoList& items = Items();
    for (int i = 0; i < items.Count(); ++i) {
        TCI* item = items.Item(i);
        Component* found = item != nullptr ? FindComponentByName(form, item->CompName) : nullptr;
        if (found != nullptr) {
            item->Component = found;
            item->CompIndex = found->componentIndex();
        } else if (item != nullptr && item->CompIndex == -1 && form != nullptr) {
            item->Component = form;
        } else {
            items.FreeItem(items.Get(i));
            items.Put(i, nullptr);
        }
    }
    items.Pack();
}

void TMltLang::FormShowHook(Component*) { ApplyAll(); }

void TMltLang::Notification(Component* component, framework::Operation operation) {
    Component::Notification(component, operation);
    if (operation != framework::Operation::Remove || component == this) return;
    const framework::TForm* form = OwnerForm();
    const bool formBusy = form == nullptr || form->hasState(framework::csLoading) ||
                          form->hasState(framework::csReading) ||
                          form->hasState(framework::csDestroying);
    if (designing() && !formBusy && Items().Count() > 0) {
        dropItemsOf(component, true);
    } else {
        // An item must never write into a freed control: at run time it is only unbound.
        dropItemsOf(component, false);
    }
}

void TMltLang::dropItemsOf(const Component* component, bool free) {
    TInfoList& items = Items();
    for (int i = 0; i < items.Count(); ++i) {
        TCI* item = items.Item(i);
        if (item == nullptr || item->Component != component) continue;
        if (free) {
            items.FreeItem(item);
            items.Put(i, nullptr);
        } else {
            item->Component = nullptr;
        }
    }
    if (free) items.Pack();
}

}  // namespace mltlang
