#pragma once
// The multi-language component as a page stores it: active language index, language
// identifier, number of languages and default dictionary path. Binding and applying the
// translations builds on these stored values.

#include "framework/component.h"

namespace mltlang {

class TMltLang : public framework::Component {
    FRAMEWORK_CLASS(framework::Component)

    explicit TMltLang(framework::Component* owner);

    int ActiveLang() const { return FActiveLang; }
    void SetActiveLang(int value);
    int MaxLang() const { return FMaxLang; }
    void SetMaxLang(int value);
    framework::Identifier LangId() const { return FLangId; }
    void SetLangId(const framework::Identifier& value);
    // Stored, but reading it has no effect: the active index decides.
    framework::Identifier ActiveLangById() const { return FLangId; }
    void SetActiveLangById(const framework::Identifier& value);
    const std::string& DefDictionary() const { return FDefDictionary; }
    void SetDefDictionary(const std::string& value) { FDefDictionary = value; }

private:
    int FActiveLang = 0;
    int FMaxLang = 2;
    framework::Identifier FLangId{"lgENGLISH"};
    std::string FDefDictionary = "default.dct";
};

}  // namespace mltlang
