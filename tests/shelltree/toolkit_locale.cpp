// The tree's core runs in the setup program under the locale its toolkit sets at start: the
// user's, with a UTF-8 character type when the user's has none. Its tests, built without the
// toolkit, take the same.

#include <gtest/gtest.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace {

class ToolkitLocale : public testing::Environment {
public:
    void SetUp() override {
        std::setlocale(LC_ALL, "");
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
    }
};

const testing::Environment* const kLocale = testing::AddGlobalTestEnvironment(new ToolkitLocale);

}  // namespace
