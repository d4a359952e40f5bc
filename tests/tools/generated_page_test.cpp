// A page whose fields and handlers the page compiler wrote: the fields point at the
// controls read, and the definition's events reach the page's handlers.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "check_page.h"
#include "framework/standard_classes.h"

namespace {

std::string checkPageDefinition() {
    std::ifstream in(CHECK_PAGE_DEFINITION);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(GeneratedPage, FieldsAreBoundAndEventsReachTheHandlers) {
    framework::registerStandardClasses();
    framework::FormPtr<TCheckPage> page(new TCheckPage);
    page->createFromDefinition(checkPageDefinition());
    ASSERT_NE(page->Button2, nullptr);
    EXPECT_EQ(page->Button2->caption(), "Two");
    EXPECT_EQ(page->Button2, page->findComponent("Button2"));
    framework::raiseEvent(page->Button1->OnClick, page->Button1);
    framework::raiseEvent(page->Button2->OnClick, page->Button2);
    bool allowed = true;
    framework::raiseEvent(page->Tree1->OnExpanding, page->Tree1, nullptr, allowed);
    EXPECT_FALSE(allowed);
    EXPECT_EQ(page->calls, (std::vector<std::string>{"created One", "click Button1",
                                                     "click Button2", "expanding"}));
    EXPECT_EQ(page->Tree1->OnExpanding.methodName(), "Tree1Expanding");
}
