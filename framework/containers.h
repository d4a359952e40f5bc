#pragma once
// Controls that hold other controls: the titled group box and the panel.

#include "control.h"

namespace framework {

enum class TBevelCut { bvNone, bvLowered, bvRaised };
template <>
struct EnumTable<TBevelCut> {
    static constexpr std::string_view what = "bevel";
    static constexpr EnumName<TBevelCut> names[] = {{TBevelCut::bvNone, "bvNone"},
                                                    {TBevelCut::bvLowered, "bvLowered"},
                                                    {TBevelCut::bvRaised, "bvRaised"}};
};

class TGroupBox : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TGroupBox(Component* owner);
    bool acceptsChildControls() const override { return true; }

    std::string caption() const;
    void setCaption(const std::string& value);
};

class TPanel : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TPanel(Component* owner);
    bool acceptsChildControls() const override { return true; }

    TBevelCut bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(TBevelCut value);

private:
    TBevelCut m_bevelOuter = TBevelCut::bvRaised;
};

}  // namespace framework
