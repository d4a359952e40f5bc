#include "folder_dialogs.h"

#include "framework/application.h"
#include "pages.h"
#include "wizard.h"

// The folder tree, "Accept" and the creation of a new folder build on the shell folder
// tree component; these pages already carry everything that does not need it.

namespace setup {

using framework::ClassInfo;
using framework::Component;

TiForm10::TiForm10(Wizard& wizard) : WizardPage(wizard) {
    publish("FormCreate", &TiForm10::FormCreate);
    publish("Button3Click", &TiForm10::Button3Click);
    publish("BitBtn1Click", &TiForm10::BitBtn1Click);
    publish("Button1Click", &TiForm10::Button1Click);
}

const ClassInfo& TiForm10::staticClassInfo() {
    static const ClassInfo info("TiForm10", &TForm::staticClassInfo(), {});
    return info;
}

void TiForm10::bindFields() {
    WizardPage::bindFields();
    Panel4 = field<framework::TPanel>("Panel4");
    Button2 = field<framework::TButton>("Button2");
    Button1 = field<framework::TButton>("Button1");
    BitBtn1 = field<framework::TBitBtn>("BitBtn1");
    Button3 = field<framework::TButton>("Button3");
    Panel1 = field<framework::TPanel>("Panel1");
}

void TiForm10::FormCreate(Component*) {
    selectDesignScreen();
    PendingFolder.clear();
}

void TiForm10::Button3Click(Component*) {
    ChosenFolder.clear();
    Close();
}

void TiForm10::BitBtn1Click(Component*) { m_wizard.iForm11->ShowModal(); }

void TiForm10::Button1Click(Component*) { framework::Application::instance().helpContext(100); }

TiForm11::TiForm11(Wizard& wizard) : WizardPage(wizard) {
    publish("FormCreate", &TiForm11::FormCreate);
    publish("Button2Click", &TiForm11::Button2Click);
    publish("Button1Click", &TiForm11::Button1Click);
}

const ClassInfo& TiForm11::staticClassInfo() {
    static const ClassInfo info("TiForm11", &TForm::staticClassInfo(), {});
    return info;
}

void TiForm11::bindFields() {
    WizardPage::bindFields();
    Label1 = field<framework::TLabel>("Label1");
    Label2 = field<framework::TLabel>("Label2");
    Label3 = field<framework::TLabel>("Label3");
    Edit1 = field<framework::TEdit>("Edit1");
    Button3 = field<framework::TButton>("Button3");
    Button1 = field<framework::TButton>("Button1");
    Button2 = field<framework::TButton>("Button2");
}

void TiForm11::FormCreate(Component*) { selectDesignScreen(); }

void TiForm11::Button2Click(Component*) {
    NewFolderName.clear();
    Close();
}

void TiForm11::Button1Click(Component*) { framework::Application::instance().helpContext(110); }

}  // namespace setup
