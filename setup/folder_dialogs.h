#pragma once
// The folder chooser and the new-folder dialog, both modal over the page that opens them.

#include <string>

#include "framework/buttons.h"
#include "framework/containers.h"
#include "framework/text_controls.h"
#include "shelltree/shell_tree.h"
#include "wizard_page.h"

namespace setup {

class TiForm10 : public WizardPage {
public:
    explicit TiForm10(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TPanel* Panel4 = nullptr;
    framework::TButton* Button2 = nullptr;  // "Accept"
    framework::TButton* Button1 = nullptr;  // "Help"
    framework::TBitBtn* BitBtn1 = nullptr;  // "Create folder"
    framework::TButton* Button3 = nullptr;  // "Abort"
    framework::TPanel* Panel1 = nullptr;    // holds the folder tree
    shelltree::TShellTree* ShellTree1 = nullptr;

    // The result: a folder with its final '/' after "Accept", empty after "Abort".
    std::string ChosenFolder;
    // A folder to select when the dialog is next activated (set by the new-folder dialog).
    std::string PendingFolder;

    void FormCreate(framework::Component* sender);
    // The caption follows the selected folder; a folder left by the new-folder dialog is
    // selected.
    void FormActivate(framework::Component* sender);
    void ShellTree1Change(framework::Component* sender, framework::TTreeNode* node);
    // "Accept": the selected folder with one final '/'. An item without a path ("Computer")
    // is no folder to install into: the dialog then stays open and nothing changes.
    void Button2Click(framework::Component* sender);
    void Button3Click(framework::Component* sender);
    void BitBtn1Click(framework::Component* sender);
    void Button1Click(framework::Component* sender);
    // Should the window manager close the dialog anyway, that is "Abort".
    void closeBoxClicked() override { Button3Click(this); }

protected:
    void bindFields() override;
};

class TiForm11 : public WizardPage {
public:
    explicit TiForm11(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TLabel* Label1 = nullptr;
    framework::TLabel* Label2 = nullptr;
    framework::TLabel* Label3 = nullptr;
    framework::TEdit* Edit1 = nullptr;
    framework::TButton* Button3 = nullptr;  // "OK"
    framework::TButton* Button1 = nullptr;  // "Help"
    framework::TButton* Button2 = nullptr;  // "Cancel"

    // The name taken from Edit1 on "OK", emptied on "Cancel".
    std::string NewFolderName;

    void FormCreate(framework::Component* sender);
    // The current folder line: the chooser's folder with a final '/' (the root stays "/").
    void FormActivate(framework::Component* sender);
    // "OK": makes the folder (one level; a failure is silent), refreshes the chooser's tree
    // and selects the new folder there.
    void Button3Click(framework::Component* sender);
    void Button2Click(framework::Component* sender);
    void Button1Click(framework::Component* sender);
    // Should the window manager close the dialog anyway, that is "Cancel".
    void closeBoxClicked() override { Button2Click(this); }

protected:
    void bindFields() override;
};

}  // namespace setup
