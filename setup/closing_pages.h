#pragma once
// The pages that close the wizard: shortcut options with the Install button, the
// progress log and the finish page.

#include "framework/buttons.h"
#include "framework/containers.h"
#include "framework/list_controls.h"
#include "framework/picture.h"
#include "framework/text_controls.h"
#include "wizard_page.h"

namespace setup {

class TisForm5 : public WizardPage {
public:
    explicit TisForm5(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TImage* Image1 = nullptr;
    framework::TLabel* Label3 = nullptr;
    framework::TGroupBox* GroupBox1 = nullptr;
    framework::TCheckBox* CheckBox1 = nullptr;  // desktop
    framework::TCheckBox* CheckBox2 = nullptr;  // Start menu
    framework::TCheckBox* CheckBox3 = nullptr;  // Programs
    framework::TButton* Button2 = nullptr;
    framework::TButton* Button4 = nullptr;
    framework::TButton* Button3 = nullptr;

    void FormCreate(framework::Component* sender);
    void Button2Click(framework::Component* sender);
    void Button4Click(framework::Component* sender);
    void Button3Click(framework::Component* sender);
    void closeBoxClicked() override { showExitConfirmation(); }

protected:
    void bindFields() override;
};

// The finish page, after an install or an uninstall; both buttons end the program.
class Tisform6 : public WizardPage {
public:
    explicit Tisform6(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TImage* Image1 = nullptr;
    framework::TLabel* Label3 = nullptr;
    framework::TLabel* Label2 = nullptr;
    framework::TLabel* Label1 = nullptr;
    framework::TButton* Button2 = nullptr;  // "Start Quindor"
    framework::TButton* Button1 = nullptr;  // "Finish"

    void FormCreate(framework::Component* sender);
    void FormActivate(framework::Component* sender);
    void Button2Click(framework::Component* sender);
    void Button1Click(framework::Component* sender);
    // The close box means "Finish".
    void closeBoxClicked() override { Button1Click(this); }

protected:
    void bindFields() override;
};

// The progress log: one row per event of the install procedure.
class TisForm7 : public WizardPage {
public:
    explicit TisForm7(Wizard& wizard);
    static const framework::ClassInfo& staticClassInfo();
    const framework::ClassInfo& classInfo() const override { return staticClassInfo(); }

    framework::TListBox* LB = nullptr;

    void FormCreate(framework::Component* sender);
    // Adds a last row; the list is not scrolled.
    void appendLine(const std::string& text);
    // Redraws the page and its rows now, before the procedure blocks in its next step.
    void repaintNow();
    // The log stays while an installation runs: its close box does nothing. Once an
    // installation ended in an error the log is the last window, and closing it ends
    // the program.
    void closeBoxClicked() override;
    void installFailed() { m_installFailed = true; }

protected:
    void bindFields() override;

private:
    bool m_installFailed = false;
};

}  // namespace setup
