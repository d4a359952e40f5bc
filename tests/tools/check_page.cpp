#include "check_page.h"

void TCheckPage::FormCreate(framework::Component*) {
    calls.push_back("created " + Button1->caption());
}

void TCheckPage::ButtonClick(framework::Component* Sender) {
    calls.push_back("click " + Sender->name());
}

// The build compiles this file twice more, each time with one fault: the handler with
// parameters other than its event's, and the handler left out.
#if defined(CHECK_PAGE_WRONG_SIGNATURE)
void TCheckPage::Tree1Expanding(framework::Component*, framework::TTreeNode*) {}
#elif !defined(CHECK_PAGE_MISSING_HANDLER)
void TCheckPage::Tree1Expanding(framework::Component*, framework::TTreeNode*, bool& Allowed) {
    calls.push_back("expanding");
    Allowed = false;
}
#endif
