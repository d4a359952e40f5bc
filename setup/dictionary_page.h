#pragma once
// The dictionary page: one or more of fifteen language dictionaries, each row with the
// code of its archive in the parallel list DictionaryCodes.

#include "framework/buttons.h"
#include "framework/list_controls.h"
#include "framework/picture.h"
#include "framework/text_controls.h"
#include "wizard_page.h"

namespace setup {

class Tisform4 : public WizardPage {
public:
    static constexpr const char* kNoDictionaryMessage = "Please select at least one language!";

    explicit Tisform4(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TLabel* Label1 = nullptr;
    framework::TImage* Image1 = nullptr;
    framework::TCheckListBox* CheckListBox1 = nullptr;
    framework::TButton* Button2 = nullptr;
    framework::TButton* Button4 = nullptr;
    framework::TButton* Button3 = nullptr;

    // Row i of CheckListBox1 installs the archive named by entry i.
    framework::StringList DictionaryCodes;

    void FormCreate(framework::Component* sender);
    void FormDestroy(framework::Component* sender);
    void Button3Click(framework::Component* sender);
    void Button2Click(framework::Component* sender);
    void Button4Click(framework::Component* sender);
    void closeBoxClicked() override { showExitConfirmation(); }

protected:
    void bindFields() override;
};

}  // namespace setup
