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
    static const ClassInfo info("TGroupBox", &TControl::staticClassInfo(),
                                {valueProperty<C, std::string>("Caption", PropertyKind::String,
                                                               &C::caption, &C::setCaption)});
    return info;
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
    static const ClassInfo info("TPanel", &TControl::staticClassInfo(),
                                {valueProperty<C, std::string>("BevelOuter", PropertyKind::Enumeration,
                                                               &C::bevelOuter, &C::setBevelOuter)});
    return info;
}

void TPanel::setBevelOuter(const std::string& value) {
    auto* frame = static_cast<QFrame*>(widget());
    if (value == "bvNone") {
        frame->setFrameShape(QFrame::NoFrame);
    } else if (value == "bvRaised" || value == "bvLowered") {
        frame->setFrameShape(QFrame::Panel);
        frame->setFrameShadow(value == "bvRaised" ? QFrame::Raised : QFrame::Sunken);
    } else {
        throw EPropertyError("Unknown bevel " + value);
    }
    m_bevelOuter = value;
}

}  // namespace framework
