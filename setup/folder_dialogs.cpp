#include "folder_dialogs.h"

#include "engine/operations.h"
#include "framework/application.h"
#include "pages.h"
#include "wizard.h"

namespace setup {

using framework::ClassInfo;
using framework::Component;

namespace {

// A name that makes one folder inside the current one: no '/', not "." or "..". Other
// names make nothing (and so never a folder elsewhere, as "../x" would).
bool isSingleFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

TiForm10::TiForm10(Wizard& wizard) : WizardPage(wizard) {
    publish("FormCreate", &TiForm10::FormCreate);
    publish("FormActivate", &TiForm10::FormActivate);
    publish("ShellTree1Change", &TiForm10::ShellTree1Change);
    publish("Button2Click", &TiForm10::Button2Click);
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
    ShellTree1 = field<shelltree::TShellTree>("ShellTree1");
}

void TiForm10::FormCreate(Component*) {
    selectDesignScreen();
    PendingFolder.clear();
    ShellTree1->setShowIcons(true);
}

void TiForm10::FormActivate(Component*) {
    setCaption(ShellTree1->GetPath());
    if (PendingFolder.empty()) return;
    ShellTree1->SetPath(PendingFolder);
    PendingFolder.clear();
}

// While the page is read the tree selects its root: the stored caption stays until the
// dialog runs.
void TiForm10::ShellTree1Change(Component*, framework::TTreeNode*) {
    if (!hasState(framework::csLoading)) setCaption(ShellTree1->GetPath());
}

void TiForm10::Button2Click(Component*) {
    const std::string path = ShellTree1->GetPath();
    if (path.empty()) return;
    ChosenFolder = path.back() == '/' ? path : path + "/";
    Close();
}

void TiForm10::Button3Click(Component*) {
    ChosenFolder.clear();
    Close();
}

void TiForm10::BitBtn1Click(Component*) { m_wizard.iForm11->ShowModal(); }

void TiForm10::Button1Click(Component*) { framework::Application::instance().helpContext(100); }

TiForm11::TiForm11(Wizard& wizard) : WizardPage(wizard) {
    publish("FormCreate", &TiForm11::FormCreate);
    publish("FormActivate", &TiForm11::FormActivate);
    publish("Button3Click", &TiForm11::Button3Click);
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

// The root is the one folder that already ends in '/'; "Computer" (no path) reads as the
// root, where a new folder is then made.
void TiForm11::FormActivate(Component*) {
    const std::string path = m_wizard.iForm10->ShellTree1->GetPath();
    Label2->setCaption(path.size() == 1 ? path : path + "/");
}

void TiForm11::Button3Click(Component*) {
    NewFolderName = Edit1->text();
    TiForm10& chooser = *m_wizard.iForm10;
    try {
        const std::string folder = Label2->caption() + NewFolderName;
        if (isSingleFolderName(NewFolderName)) engine::CreateFolder(m_wizard.machine(), folder);
        chooser.PendingFolder = folder;
        chooser.ShellTree1->RefreshAll();
        chooser.FormActivate(&chooser);
    } catch (const std::exception&) {
        // Making the folder and showing it are best effort; the dialog closes either way.
    }
    Close();
}

void TiForm11::Button2Click(Component*) {
    NewFolderName.clear();
    Close();
}

void TiForm11::Button1Click(Component*) { framework::Application::instance().helpContext(110); }

}  // namespace setup
