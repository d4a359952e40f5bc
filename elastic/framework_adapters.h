#pragma once
// The framework's page and controls as the scaling sees them.

#include <QPointer>

#include "elastic/scaling_interfaces.h"
#include "framework/form.h"

class QWidget;

namespace elastic {

class ControlAdapter : public ScalableControl {
public:
    explicit ControlAdapter(framework::TControl& control) : m_control(control) {}

    std::string name() const override { return m_control.name(); }
    Bounds bounds() const override;
    void setBounds(const Bounds& b) override;
    bool visible() const override { return m_control.visible(); }
    void setVisible(bool value) override { m_control.setVisible(value); }
    void hideTemporarily() override { m_control.hideTemporarily(); }
    void endTemporaryHiding() override { m_control.endTemporaryHiding(); }
    bool parentFont() const override { return m_control.parentFont(); }
    int fontSize() const override { return m_control.Font().size(); }
    void setFontSize(int points) override { m_control.Font().setSize(points); }
    bool hasProperty(std::string_view name) const override;
    bool isLabel() const override;
    bool autoSize() const override;
    void setAutoSize(bool value) override;
    std::vector<std::unique_ptr<ScalableControl>> children() const override;

private:
    framework::TControl& m_control;
};

class FormAdapter : public ScalableForm {
public:
    explicit FormAdapter(framework::TForm& form) : m_form(form) {}

    std::vector<std::unique_ptr<ScalableControl>> children() const override;
    Bounds bounds() const override;
    Size clientSize() const override;
    void setSize(Size size) override;
    int fontSize() const override { return m_form.Font().size(); }
    bool maximized() const override;
    void setMaximized(bool value) override;
    // Pages always have a border: the window manager draws it.
    bool hasBorder() const override { return true; }
    bool screenCentred() const override;
    void rememberFocus() override;
    void giveFocusBack() override;
    void repaint() override;

private:
    framework::TForm& m_form;
    QPointer<QWidget> m_focus;
};

}  // namespace elastic
