#include "elastic_form.h"

namespace elastic {

using framework::ClassInfo;
using framework::PropertyKind;

TElasticForm::TElasticForm(framework::Component* owner) : Component(owner) {}

const ClassInfo& TElasticForm::staticClassInfo() {
    using C = TElasticForm;
    using framework::booleanProperty;
    using framework::integerProperty;
    static const ClassInfo info(
        "TElasticForm", &Component::staticClassInfo(),
        {
            booleanProperty<C>("ElasticHorizontal", &C::ElasticHorizontal, &C::SetElasticHorizontal),
            booleanProperty<C>("ElasticVertical", &C::ElasticVertical, &C::SetElasticVertical),
            booleanProperty<C>("ElasticFont", &C::ElasticFont, &C::SetElasticFont),
            integerProperty<C>("DesignScreenWidth", &C::DesignScreenWidth, &C::SetDesignScreenWidth),
            integerProperty<C>("DesignScreenHeight", &C::DesignScreenHeight,
                               &C::SetDesignScreenHeight),
            integerProperty<C>("DesignPixelsPerInch", &C::DesignPixelsPerInch,
                               &C::SetDesignPixelsPerInch),
            integerProperty<C>("DesignFormWidth", &C::DesignFormWidth, &C::SetDesignFormWidth),
            integerProperty<C>("DesignFormHeight", &C::DesignFormHeight, &C::SetDesignFormHeight),
            integerProperty<C>("DesignFormClientWidth", &C::DesignFormClientWidth,
                               &C::SetDesignFormClientWidth),
            integerProperty<C>("DesignFormClientHeight", &C::DesignFormClientHeight,
                               &C::SetDesignFormClientHeight),
            integerProperty<C>("DesignFormLeft", &C::DesignFormLeft, &C::SetDesignFormLeft),
            integerProperty<C>("DesignFormTop", &C::DesignFormTop, &C::SetDesignFormTop),
            framework::valueProperty<C, std::string>("Font.Name", PropertyKind::String,
                                                     &C::fontName, &C::setFontName),
            integerProperty<C>("Font.Height", &C::fontHeight, &C::setFontHeight),
            framework::valueProperty<C, framework::SetValue>("Font.Style", PropertyKind::Set,
                                                             &C::fontStyle, &C::setFontStyle),
            framework::valueProperty<C, std::string>("ElFrmIniFile", PropertyKind::String,
                                                     &C::ElFrmIniFile, &C::SetElFrmIniFile),
            framework::floatProperty<C>("Version", &C::Version, &C::SetVersion),
        });
    return info;
}

void TElasticForm::registerClass() {
    framework::ClassRegistry::instance().add(staticClassInfo(),
                                             &framework::createComponent<TElasticForm>);
}

}  // namespace elastic
