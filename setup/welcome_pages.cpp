#include "welcome_pages.h"

#include "engine/uninstall.h"
#include "framework/application.h"
#include "pages.h"
#include "wizard.h"
#include "wizard_ui.h"

namespace setup {

using framework::ClassInfo;
using framework::Component;

TisForm1::TisForm1(Wizard& wizard) : WizardPage(wizard) {
    publish("FormCreate", &TisForm1::FormCreate);
    publish("RadioButton1Click", &TisForm1::RadioButton1Click);
    publish("RadioButton2Click", &TisForm1::RadioButton2Click);
    publish("Button2Click", &TisForm1::Button2Click);
    publish("Button3Click", &TisForm1::Button3Click);
}

const ClassInfo& TisForm1::staticClassInfo() {
    static const ClassInfo info("TisForm1", &TForm::staticClassInfo(), {});
    return info;
}

void TisForm1::bindFields() {
    WizardPage::bindFields();
    Image1 = field<framework::TImage>("Image1");
    Button2 = field<framework::TButton>("Button2");
    Button3 = field<framework::TButton>("Button3");
    Memo1 = field<framework::TMemo>("Memo1");
    RadioButton1 = field<framework::TRadioButton>("RadioButton1");
    RadioButton2 = field<framework::TRadioButton>("RadioButton2");
}

void TisForm1::FormCreate(Component*) { selectDesignScreen(); }

void TisForm1::RadioButton1Click(Component*) { Button3->setCaption("Next>"); }

void TisForm1::RadioButton2Click(Component*) { Button3->setCaption("UnInstall"); }

void TisForm1::Button2Click(Component*) { showExitConfirmation(); }

void TisForm1::Button3Click(Component*) {
    if (RadioButton1->checked()) {
        Hide();
        m_wizard.isForm3->setVisible(true);
        return;
    }
    Hide();
    WizardUi ui(m_wizard);
    engine::UninstallProduct(m_wizard.machine(), ui);
}

TisForm2::TisForm2(Wizard& wizard) : WizardPage(wizard) {
    publish("FormCreate", &TisForm2::FormCreate);
    publish("Button1Click", &TisForm2::Button1Click);
    publish("Button2Click", &TisForm2::Button2Click);
}

const ClassInfo& TisForm2::staticClassInfo() {
    static const ClassInfo info("TisForm2", &TForm::staticClassInfo(), {});
    return info;
}

void TisForm2::bindFields() {
    WizardPage::bindFields();
    Label1 = field<framework::TLabel>("Label1");
    Button1 = field<framework::TButton>("Button1");
    Button2 = field<framework::TButton>("Button2");
}

void TisForm2::FormCreate(Component*) { selectDesignScreen(); }

void TisForm2::Button1Click(Component*) { Close(); }

void TisForm2::Button2Click(Component*) {
    Close();
    m_wizard.isForm1->setVisible(true);
    framework::Application::instance().terminate();
}

}  // namespace setup
