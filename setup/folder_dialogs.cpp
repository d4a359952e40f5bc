#include "folder_dialogs.h"

#include "engine/operations.h"
#include "framework/application.h"
#include "pages.h"
#include "wizard.h"

namespace setup {

using framework::Component;

namespace {

// A name that makes one folder inside the current one: no '/', not "." or "..". Other
// names make nothing (and so never a folder elsewhere, as "../x" would).
bool isSingleFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

void TiForm10::FormCreate(Component*) {
    selectDesignScreen();
    PendingFolder.clear();
    ShellTree1->setShowIcons(true);
}

// The caption follows the selected folder; a folder left by the new-folder dialog is
// selected.
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

// "Accept": the selected folder with one final '/'. An item without a path ("Computer")
// is no folder to install into: the dialog then stays open and nothing changes.
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

void TiForm11::FormCreate(Component*) { selectDesignScreen(); }

// The current folder line: the chooser's folder with a final '/'. The root is the one
// folder that already ends in '/'; "Computer" (no path) reads as the root, where a new
// folder is then made.
void TiForm11::FormActivate(Component*) {
    const std::string path = m_wizard.iForm10->ShellTree1->GetPath();
    Label2->setCaption(path.size() == 1 ? path : path + "/");
}

// "OK": makes the folder (one level; a failure is silent), refreshes the chooser's tree
// and selects the new folder there.
void TiForm11::Button3Click(Component*) {
    NewFolderName = Edit1->text();
    TiForm10& chooser = *m_wizard.iForm10;
    try {
        const std::string folder = Label2->caption() + NewFolderName;
        if (isSingleFolderName(NewFolderName))
            engine::CreateFolder(m_wizard.machine().files(), folder);
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
