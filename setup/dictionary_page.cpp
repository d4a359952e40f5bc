#include "dictionary_page.h"

#include <iterator>

#include "framework/application.h"
#include "page_choices.h"
#include "pages.h"
#include "wizard.h"

namespace setup {

using framework::Component;

void Tisform4::FormCreate(Component*) {
    selectDesignScreen();
    DictionaryCodes.assign(std::begin(kDictionaryCodes), std::end(kDictionaryCodes));
    Image1->Picture().assign(m_wizard.isForm1->Image1->Picture());
}

void Tisform4::FormDestroy(Component*) { DictionaryCodes.clear(); }

void Tisform4::Button3Click(Component*) {
    int marked = 0;
    for (int row = 0; row < CheckListBox1->Items().count(); ++row) {
        if (CheckListBox1->checked(row)) ++marked;
    }
    if (marked == 0) {
        framework::Application::instance().messages().showMessage(kNoDictionaryMessage);
        return;
    }
    Hide();
    m_wizard.isForm5->setVisible(true);
}

void Tisform4::Button2Click(Component*) { showExitConfirmation(); }

// The language page comes to the front; this page stays open behind it.
void Tisform4::Button4Click(Component*) { m_wizard.isForm3->Show(); }

}  // namespace setup
