#include "mlt_lang.h"

namespace mltlang {

using framework::ClassInfo;

namespace {

void requireLanguageName(const framework::Identifier& value) {
    if (value.name.size() < 3 || value.name.compare(0, 2, "lg") != 0) {
        throw framework::EPropertyError("Invalid language identifier " + value.name);
    }
}

}  // namespace

TMltLang::TMltLang(framework::Component* owner) : Component(owner) {}

const ClassInfo& TMltLang::staticClassInfo() {
    using C = TMltLang;
    using framework::valueProperty;
    return framework::declareClass<C>("TMltLang", [] {
        return std::vector<framework::PropertyInfo>{
            valueProperty("ActiveLang", &C::ActiveLang, &C::SetActiveLang),
            valueProperty("ActiveLangById", &C::ActiveLangById, &C::SetActiveLangById),
            valueProperty("MaxLang", &C::MaxLang, &C::SetMaxLang),
            valueProperty("DefDictionary", &C::DefDictionary, &C::SetDefDictionary),
            valueProperty("LangId", &C::LangId, &C::SetLangId),
        };
    });
}

void TMltLang::SetActiveLang(int value) {
    // While reading, the stored index is taken as it is; later an index outside the
    // language list is ignored.
    if (!hasState(framework::csReading) && (value < 0 || value >= FMaxLang)) return;
    FActiveLang = value;
}

void TMltLang::SetMaxLang(int value) {
    if (value < 2 || value <= FActiveLang) return;
    FMaxLang = value;
}

void TMltLang::SetLangId(const framework::Identifier& value) {
    requireLanguageName(value);
    FLangId = value;
}

void TMltLang::SetActiveLangById(const framework::Identifier& value) { requireLanguageName(value); }

}  // namespace mltlang
