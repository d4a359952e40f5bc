#include "mlt_lang.h"

namespace mltlang {

using framework::ClassInfo;
using framework::PropertyKind;

namespace {

void requireLanguageName(const std::string& value) {
    if (value.size() < 3 || value.compare(0, 2, "lg") != 0) {
        throw framework::EPropertyError("Invalid language identifier " + value);
    }
}

}  // namespace

TMltLang::TMltLang(framework::Component* owner) : Component(owner) {}

const ClassInfo& TMltLang::staticClassInfo() {
    using C = TMltLang;
    static const ClassInfo info(
        "TMltLang", &Component::staticClassInfo(),
        {
            framework::integerProperty<C>("ActiveLang", &C::ActiveLang, &C::SetActiveLang),
            framework::valueProperty<C, std::string>("ActiveLangById", PropertyKind::Enumeration,
                                                     &C::ActiveLangById, &C::SetActiveLangById),
            framework::integerProperty<C>("MaxLang", &C::MaxLang, &C::SetMaxLang),
            framework::valueProperty<C, std::string>("DefDictionary", PropertyKind::String,
                                                     &C::DefDictionary, &C::SetDefDictionary),
            framework::valueProperty<C, std::string>("LangId", PropertyKind::Enumeration,
                                                     &C::LangId, &C::SetLangId),
        });
    return info;
}

void TMltLang::registerClass() {
    framework::ClassRegistry::instance().add(staticClassInfo(),
                                             &framework::createComponent<TMltLang>);
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

void TMltLang::SetLangId(const std::string& value) {
    requireLanguageName(value);
    FLangId = value;
}

void TMltLang::SetActiveLangById(const std::string& value) { requireLanguageName(value); }

}  // namespace mltlang
