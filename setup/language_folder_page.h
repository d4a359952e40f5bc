#pragma once
// The first install page: the product's screen language and the installation folder.

#include <string>

#include "framework/buttons.h"
#include "framework/picture.h"
#include "framework/text_controls.h"
#include "wizard_page.h"

namespace setup {

// The code a screen-language text yields: exact, case-sensitive match of one of the
// list's names, anything else "US".
std::string screenLanguageCode(const std::string& text);

// The folder box's text at start: the product's folder in the user's home folder.
std::string defaultTargetFolder();

// The folder box's text for a folder chosen in the folder chooser (with its final '/'):
// "Quindor/" is added unless the folder's last name is already quindor in any letter case.
std::string targetFolderFor(const std::string& chosenFolder);

class TisForm3 : public WizardPage {
public:
    explicit TisForm3(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TLabel* Label1 = nullptr;
    framework::TLabel* Label2 = nullptr;
    framework::TLabel* Label3 = nullptr;
    framework::TImage* Image1 = nullptr;
    framework::TComboBox* ComboBox1 = nullptr;
    framework::TButton* Button2 = nullptr;
    framework::TButton* Button4 = nullptr;
    framework::TButton* Button3 = nullptr;
    framework::TEdit* Edit1 = nullptr;
    framework::TBitBtn* BitBtn1 = nullptr;

    void FormCreate(framework::Component* sender);
    void ComboBox1Change(framework::Component* sender);
    void Button2Click(framework::Component* sender);
    void Button4Click(framework::Component* sender);
    void Button3Click(framework::Component* sender);
    void BitBtn1Click(framework::Component* sender);
    void Edit1Click(framework::Component* sender);
    void closeBoxClicked() override { showExitConfirmation(); }

protected:
    void bindFields() override;
};

}  // namespace setup
