// The containers the pages store are those the design gives them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/page_definition.h"
#include "mltlang/mltlang1.h"
#include "welcome_container.h"

namespace {

using mltlang_test::Bytes;

const framework::ObjectNode* findObject(const framework::ObjectNode& node, std::string_view name) {
    if (node.name == name) return &node;
    for (const auto& child : node.children) {
        if (const auto* found = findObject(child, name)) return found;
    }
    return nullptr;
}

// The stored Items.ObjectContainer of a page's MltLang1; empty when it stores none.
Bytes storedContainer(const std::string& page) {
    std::ifstream in(std::filesystem::path(QUINDOR_SOURCE_DIR) / "setup/pages" / (page + ".page"));
    std::ostringstream text;
    text << in.rdbuf();
    const framework::ObjectNode root = framework::parsePageDefinition(text.str());
    const framework::ObjectNode* component = findObject(root, "MltLang1");
    if (component == nullptr) return {};
    for (const auto& property : component->properties) {
        if (property.name == "Items.ObjectContainer") return std::get<Bytes>(property.value);
    }
    return {};
}

TEST(PageContainers, TheWelcomePageStoresTheDesignedContainer) {
    const Bytes stored = storedContainer("TisForm1");
    EXPECT_EQ(stored.size(), 382u);
    EXPECT_EQ(stored, mltlang_test::welcomeContainerBytes());
}

TEST(PageContainers, EveryPageButTheFinishPageStoresOneThatReads) {
    for (const char* page : {"TisForm1", "TisForm2", "TisForm3", "TiForm10", "Tisform4", "TisForm5",
                             "TisForm7", "TiForm11"}) {
        mltlang::TInfoList items;
        ASSERT_NO_THROW(items.SetObjectContainer(storedContainer(page))) << page;
        EXPECT_GT(items.Count(), 0) << page;
        EXPECT_EQ(items.Languages.Count(), 9) << page;
        for (int i = 0; i < items.Count(); ++i) {
            auto& item = dynamic_cast<mltlang::TCIStr&>(*items.Item(i));
            EXPECT_EQ(item.Texts.size(), 9u) << page;
            for (std::size_t language = 0; language < item.Texts.size(); ++language) {
                if (language != 0 && language != 2) {
                    EXPECT_EQ(item.Texts[language], "") << page;
                }
            }
        }
    }
    EXPECT_TRUE(storedContainer("Tisform6").empty());
}

}  // namespace
