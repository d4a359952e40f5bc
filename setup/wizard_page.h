#pragma once
// What every page of the setup wizard shares: its two components, the design-screen
// selection at creation and the exit confirmation behind "Cancel".

#include "elastic/elastic_form.h"
#include "framework/form.h"
#include "mltlang/mltlang.h"

namespace setup {

class Wizard;

// The design screen a page keeps for a screen of the given width: 640 x 480 up to 640
// pixels, 1024 x 768 above 800, else the stored one.
struct DesignScreen {
    int width;
    int height;
};
DesignScreen designScreenFor(int screenWidth, DesignScreen stored);

class WizardPage : public framework::TForm {
public:
    explicit WizardPage(Wizard& wizard) : m_wizard(wizard) {}

    // The two components every page holds; each page's generated part binds them.
    mltlang::TMltLang* MltLang1 = nullptr;
    elastic::TElasticForm* ElasticForm1 = nullptr;

protected:
    // Sets the elastic component's design screen from the width of the screen.
    void selectDesignScreen();
    // "Cancel": the exit confirmation runs modally over this page.
    void showExitConfirmation();

    Wizard& m_wizard;
};

}  // namespace setup
