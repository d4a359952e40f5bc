#include "language_folder_page.h"

#include <array>
#include <utility>

#include "engine/operations.h"
#include "engine/program_folders.h"
#include "pages.h"
#include "wizard.h"

namespace setup {

using framework::Component;

std::string screenLanguageCode(const std::string& text) {
    static const std::array<std::pair<std::string_view, std::string_view>, 9> kLanguages{{
        {"English", "US"},
        {"Czech", "CZ"},
        {"Dansk", "DK"},
        {"Deutsch", "DE"},
        {"Fran\xC3\xA7"
         "ais",
         "FR"},
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
    chooser.ShellTree1->SetPath(engine::FolderExists(m_wizard.machine().files(), typed)
                                    ? typed
                                    : m_wizard.distributionFolder());
    chooser.ShowModal();
    if (chooser.ChosenFolder.empty()) return;
    Edit1->setText(targetFolderFor(chooser.ChosenFolder));
}

void TisForm3::Edit1Click(Component* sender) { BitBtn1Click(sender); }

}  // namespace setup
