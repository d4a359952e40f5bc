#pragma once
// TMltLang, the multi-language component of a page. It owns the page's translation items
// and language list (Items), binds each item to the control of the same name once the page
// is read, writes the active language's texts into the controls every time the page is
// shown (before the page's own show handler) and switches the language of its page, and of
// every other page with it, when its active language is set. Language 0 is the base: a
// text missing in the active language shows in language 0.
//
// While a page is designed, the component also captures the designer's edits into the
// active language, drops the items of removed controls and keeps mltlang.cfg next to the
// program with the defaults for new components.

#include <memory>
#include <string>

#include "configuration.h"
#include "framework/component.h"
#include "framework/form_messages.h"
#include "mltlang1.h"

namespace framework {

template <>
struct EnumTable<mltlang::TLangid> {
    static constexpr std::string_view what = "language identifier";
    static constexpr auto names = [] {
        std::array<EnumName<mltlang::TLangid>, mltlang::kLangidCount> table{};
        for (int i = 0; i < mltlang::kLangidCount; ++i) {
            table[static_cast<std::size_t>(i)] = {
                static_cast<mltlang::TLangid>(i),
                mltlang::LangidNames[static_cast<std::size_t>(i)]};
        }
        return table;
    }();
};

class TForm;

}  // namespace framework

namespace mltlang {

// Where a component in the designer finds the program's folder and shows its notices.
class DesignHost {
public:
    virtual ~DesignHost() = default;
    // The folder of the running program, with its final separator.
    virtual std::string ExeDir() = 0;
    // A notice with a single OK button.
    virtual void ShowInformation(const std::string& text) = 0;
};
// The host components use while designing; returns the previous one (nullptr: none).
DesignHost* setDesignHost(DesignHost* host);

class TMltLang : public framework::Component {
    FRAMEWORK_CLASS(framework::Component)

    explicit TMltLang(framework::Component* owner);
    ~TMltLang() override;

    // Published, in the order a page stores and reads them.
    int ActiveLang() const { return FActiveLang; }
    // Ignored for an index at or above MaxLang or below 0; OnBeforeChanging may refuse it.
    void SetActiveLang(int value);
    TLangid ActiveLangById() const { return GetLangId(); }
    // Selects the last slot holding id; ignored while reading and when there is none.
    void SetActiveLangById(TLangid id);
    int MaxLang() const { return Items().Languages.Count(); }
    // Ignored below 2, above 43 and not above the active index.
    void SetMaxLang(int value);
    TInfoList& Items() { return *m_items; }
    const TInfoList& Items() const { return *m_items; }
    const std::string& DefDictionary() const { return FDefDictionary; }
    void SetDefDictionary(const std::string& value) { FDefDictionary = value; }
    TLangid LangId() const { return GetLangId(); }
    // Relabels the active slot; the list's index error when it is outside the list.
    void SetLangId(TLangid id);
    framework::ChangingEvent OnBeforeChanging;
    framework::NotifyEvent OnLanguageChanged;

    // The identifier of the active slot, lgNEUTRAL outside the list.
    TLangid GetLangId() const;
    // The stored side of Items: the items synchronised with their components and, while
    // designing, the components' texts captured into the active language.
    TInfoList& GetItems();
    // Takes a copy of the items and languages and applies them.
    void SetItems(const TInfoList& value);

    void Loaded() override;
    void Notification(framework::Component* component, framework::Operation operation) override;

    framework::TForm* OwnerForm() const;
    void SyncItems();
    void ApplyAll();
    void ReadBackAll();
    // Runs when the page is shown, before the page's own handler.
    void FormShowHook(framework::Component* sender);

    // The language index and identifier chosen last at run time, by every page.
    static int LastLangIndex();
    static TLangid LastLangId();
    static bool LastSetById();
    // The configuration while a component is designed (nullptr otherwise).
    static const TConfiguration* Configuration();

private:
    TInfoList& itemsProperty() { return *m_items; }
    bool designing() const { return hasState(framework::csDesigning); }
    bool changeAllowed();
    void switchTo(int index);
    void rememberRunTimeChange(bool byId, TLangid id);
    void bindItems(framework::Component* form);
    void dropItemsOf(const framework::Component* component, bool free);

    std::unique_ptr<TInfoList> m_items;
    int FActiveLang = 0;
    std::string FDefDictionary;
    framework::MessageHookHandle m_showHook;
};

framework::Component* FindComponentByRef(framework::Component* root,
                                         const framework::Component* target);
framework::Component* FindComponentByName(framework::Component* root, const std::string& name);

}  // namespace mltlang
