#pragma once
// The multi-language component as a page stores it: active language index, language
// identifier, number of languages and default dictionary path. Binding and applying the
// translations builds on these stored values.

#include "framework/component.h"

namespace mltlang {

class TMltLang : public framework::Component {
public:
    explicit TMltLang(framework::Component* owner);

    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }
    static void registerClass();

    int ActiveLang() const { return FActiveLang; }
    void SetActiveLang(int value);
    int MaxLang() const { return FMaxLang; }
    void SetMaxLang(int value);
    std::string LangId() const { return FLangId; }
    void SetLangId(const std::string& value);
    // Stored, but reading it has no effect: the active index decides.
    std::string ActiveLangById() const { return FLangId; }
    void SetActiveLangById(const std::string& value);
    const std::string& DefDictionary() const { return FDefDictionary; }
    void SetDefDictionary(const std::string& value) { FDefDictionary = value; }

private:
    int FActiveLang = 0;
    int FMaxLang = 2;
    std::string FLangId = "lgENGLISH";
    std::string FDefDictionary = "default.dct";
};

}  // namespace mltlang
