#pragma once
// Controls that hold other controls: the titled group box and the panel.

#include "control.h"

namespace framework {

class TGroupBox : public TControl {
public:
    explicit TGroupBox(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }
    bool acceptsChildControls() const override { return true; }

    std::string caption() const;
    void setCaption(const std::string& value);
};

class TPanel : public TControl {
public:
    explicit TPanel(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }
    bool acceptsChildControls() const override { return true; }

    std::string bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(const std::string& value);

private:
    std::string m_bevelOuter = "bvRaised";
};

}  // namespace framework
