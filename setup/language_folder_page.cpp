#include "language_folder_page.h"

#include <array>
#include <utility>

#include "engine/operations.h"
#include "pages.h"
#include "engine/program_folders.h"
#include "wizard.h"

namespace setup {

using framework::ClassInfo;
using framework::Component;

std::string screenLanguageCode(const std::string& text) {
    static const std::array<std::pair<std::string_view, std::string_view>, 9> kLanguages{{
        {"English", "US"},
        {"Czech", "CZ"},
        {"Dansk", "DK"},
        {"Deutsch", "DE"},
        {"Fran\xC3\xA7" "ais", "FR"},
        {"Nederlands", "NL"},
        {"Po polsku", "PL"},
        {"Ruski", "RU"},
        {"Slovak", "SK"},
    }};
    for (const auto& [name, code] : kLanguages) {
        if (text == name) return std::string(code);
    }
    return "US";
}

std::string defaultTargetFolder() { return engine::homeFolder() + "/Quindor/"; }

std::string targetFolderFor(const std::string& chosenFolder) {
    std::string_view folder(chosenFolder);
    if (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    const std::size_t slash = folder.rfind('/');
    std::string last(slash == std::string_view::npos ? folder : folder.substr(slash + 1));
    for (char& c : last) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return last == "QUINDOR" ? chosenFolder : chosenFolder + "Quindor/";
}

TisForm3::TisForm3(Wizard& wizard) : WizardPage(wizard) {
    publish("FormCreate", &TisForm3::FormCreate);
    publish("ComboBox1Change", &TisForm3::ComboBox1Change);
    publish("Button2Click", &TisForm3::Button2Click);
    publish("Button4Click", &TisForm3::Button4Click);
    publish("Button3Click", &TisForm3::Button3Click);
    publish("BitBtn1Click", &TisForm3::BitBtn1Click);
    publish("Edit1Click", &TisForm3::Edit1Click);
}

const ClassInfo& TisForm3::staticClassInfo() {
    static const ClassInfo info("TisForm3", &TForm::staticClassInfo(), {});
    return info;
}

void TisForm3::bindFields() {
    WizardPage::bindFields();
    Label1 = field<framework::TLabel>("Label1");
    Label2 = field<framework::TLabel>("Label2");
    Label3 = field<framework::TLabel>("Label3");
    Image1 = field<framework::TImage>("Image1");
    ComboBox1 = field<framework::TComboBox>("ComboBox1");
    Button2 = field<framework::TButton>("Button2");
    Button4 = field<framework::TButton>("Button4");
    Button3 = field<framework::TButton>("Button3");
    Edit1 = field<framework::TEdit>("Edit1");
    BitBtn1 = field<framework::TBitBtn>("BitBtn1");
}

void TisForm3::FormCreate(Component*) {
    selectDesignScreen();
    ComboBox1->setItemIndex(0);
    Edit1->setText(defaultTargetFolder());
    Image1->Picture().assign(m_wizard.isForm1->Image1->Picture());
    m_wizard.ScreenLanguageCode = "US";
}

void TisForm3::ComboBox1Change(Component*) {
    m_wizard.ScreenLanguageCode = screenLanguageCode(ComboBox1->text());
}

void TisForm3::Button2Click(Component*) { showExitConfirmation(); }

void TisForm3::Button4Click(Component*) {
    Hide();
    m_wizard.isForm1->setVisible(true);
}

void TisForm3::Button3Click(Component*) {
    Hide();
    m_wizard.isform4->setVisible(true);
}

void TisForm3::BitBtn1Click(Component*) {
    TiForm10& chooser = *m_wizard.iForm10;
    const std::string typed = Edit1->text();
    chooser.ShellTree1->SetPath(engine::FolderExists(m_wizard.machine(), typed) ? typed : m_wizard.distributionFolder());
    chooser.ShowModal();
    if (chooser.ChosenFolder.empty()) return;
    Edit1->setText(targetFolderFor(chooser.ChosenFolder));
}

void TisForm3::Edit1Click(Component* sender) { BitBtn1Click(sender); }

}  // namespace setup
