#include "containers.h"

#include <QFrame>
#include <QGroupBox>

namespace framework {

TGroupBox::TGroupBox(Component* owner) : TControl(owner) {
    setWidget(new QGroupBox);
    setTabStop(false);
}

const ClassInfo& TGroupBox::staticClassInfo() {
    using C = TGroupBox;
    return declareClass<C>("TGroupBox", [] {
        return std::vector<PropertyInfo>{valueProperty("Caption", &C::caption, &C::setCaption)};
    });
}

std::string TGroupBox::caption() const {
    return static_cast<QGroupBox*>(widget())->title().toStdString();
}

void TGroupBox::setCaption(const std::string& value) {
    static_cast<QGroupBox*>(widget())->setTitle(QString::fromStdString(value));
}

TPanel::TPanel(Component* owner) : TControl(owner) {
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    setWidget(frame);
    setTabStop(false);
}

const ClassInfo& TPanel::staticClassInfo() {
    using C = TPanel;
    return declareClass<C>("TPanel", [] {
        return std::vector<PropertyInfo>{
            valueProperty("BevelOuter", &C::bevelOuter, &C::setBevelOuter)};
    });
}

void TPanel::setBevelOuter(TBevelCut value) {
    auto* frame = static_cast<QFrame*>(widget());
    switch (value) {
        case TBevelCut::bvNone: frame->setFrameShape(QFrame::NoFrame); break;
        case TBevelCut::bvLowered:
        case TBevelCut::bvRaised:
            frame->setFrameShape(QFrame::Panel);
            frame->setFrameShadow(value == TBevelCut::bvRaised ? QFrame::Raised : QFrame::Sunken);
            break;
    }
    m_bevelOuter = value;
}

}  // namespace framework
