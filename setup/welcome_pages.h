#pragma once
// The welcome page with the choice between installing and removing, and the exit
// confirmation that every page's "Cancel" opens.

#include "framework/buttons.h"
#include "framework/picture.h"
#include "framework/text_controls.h"
#include "wizard_page.h"

namespace setup {

class TisForm1 : public WizardPage {
public:
    explicit TisForm1(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TImage* Image1 = nullptr;
    framework::TButton* Button2 = nullptr;
    framework::TButton* Button3 = nullptr;
    framework::TMemo* Memo1 = nullptr;
    framework::TRadioButton* RadioButton1 = nullptr;
    framework::TRadioButton* RadioButton2 = nullptr;

    void FormCreate(framework::Component* sender);
    void RadioButton1Click(framework::Component* sender);
    void RadioButton2Click(framework::Component* sender);
    void Button2Click(framework::Component* sender);
    void Button3Click(framework::Component* sender);

protected:
    void bindFields() override;
};

class TisForm2 : public WizardPage {
public:
    explicit TisForm2(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TLabel* Label1 = nullptr;
    framework::TButton* Button1 = nullptr;
    framework::TButton* Button2 = nullptr;

    void FormCreate(framework::Component* sender);
    void Button1Click(framework::Component* sender);
    void Button2Click(framework::Component* sender);
    // The close box means "Resume": the user stays where they were.
    void closeBoxClicked() override { Close(); }

protected:
    void bindFields() override;
};

}  // namespace setup
