// The page compiler: the fields and handlers a definition yields, and the definitions it
// refuses, each with the file and line.

#include "page_parts.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using page_compiler::EGeneratorError;
using page_compiler::generatePageHeader;
using page_compiler::PageOptions;

namespace {

const PageOptions kOptions{"pages/TPage1.page", {}};

std::string generate(const std::string& definition, const PageOptions& options = kOptions) {
    return generatePageHeader(definition, options);
}

// The "file:line: message" of the refusal, or "accepted".
std::string refusal(const std::string& definition, const PageOptions& options = kOptions) {
    try {
        generate(definition, options);
    } catch (const EGeneratorError& e) {
        return e.what();
    }
    return "accepted";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(PageCompiler, FieldsTakeTheTypeOfTheirClassAndItsHeader) {
    const std::string header = generate(R"(object Page1: TPage1
  object Panel1: TPanel
    object ShellTree1: TShellTree
    end
  end
  object Button3: TButton
  end
  object MltLang1: TMltLang
  end
end
)");
    EXPECT_TRUE(contains(header, "    framework::TPanel* Panel1 = nullptr; \\\n"));
    EXPECT_TRUE(contains(header, "    shelltree::TShellTree* ShellTree1 = nullptr; \\\n"));
    EXPECT_TRUE(contains(header, "    framework::TButton* Button3 = nullptr; \\\n"));
    EXPECT_TRUE(contains(header, "    mltlang::TMltLang* MltLang1 = nullptr; \\\n"));
    EXPECT_TRUE(contains(
        header, "        ShellTree1 = field<shelltree::TShellTree>(\"ShellTree1\"); \\\n"));
    for (const char* include : {"framework/containers.h", "shelltree/shell_tree.h",
                                "framework/buttons.h", "mltlang/mltlang.h", "framework/form.h"}) {
        EXPECT_TRUE(contains(header, "#include \"" + std::string(include) + "\"\n")) << include;
    }
    EXPECT_TRUE(contains(header, "#define TPage1_GENERATED \\\n"));
    EXPECT_TRUE(contains(header, "info(\"TPage1\", &framework::TForm::staticClassInfo(), {})"));
    // Nested components are fields of the page, in the order of the definition.
    EXPECT_LT(header.find("Panel1 = nullptr"), header.find("ShellTree1 = nullptr"));
    EXPECT_LT(header.find("ShellTree1 = nullptr"), header.find("Button3 = nullptr"));
}

TEST(PageCompiler, InheritedFieldsAreBoundButNotDeclaredAgain) {
    const std::string header = generate(R"(object Page1: TPage1
  object MltLang1: TMltLang
  end
  object Button1: TButton
  end
end
)",
                                        {"TPage1.page", {"MltLang1"}});
    EXPECT_FALSE(contains(header, "MltLang1 = nullptr"));
    EXPECT_TRUE(
        contains(header, "        MltLang1 = field<mltlang::TMltLang>(\"MltLang1\"); \\\n"));
    EXPECT_TRUE(contains(header, "framework::TButton* Button1 = nullptr;"));
}

struct SignatureCase {
    const char* component;  // "object X: TClass", or empty for the page itself
    const char* event;
    const char* parameters;
    const char* kind;
};

void PrintTo(const SignatureCase& c, std::ostream* out) { *out << c.component << " " << c.event; }

class HandlerSignatures : public testing::TestWithParam<SignatureCase> {};

TEST_P(HandlerSignatures, FollowTheEventTheHandlerServes) {
    const SignatureCase& c = GetParam();
    const std::string component =
        c.component[0] == '\0' ? "" : std::string("  object ") + c.component + "\n";
    const std::string body = std::string("  ") + c.event + " = Handle\n";
    const std::string end = c.component[0] == '\0' ? "" : "  end\n";
    const std::string header =
        generate("object Page1: TPage1\n" + component + body + end + "end\n");
    EXPECT_TRUE(contains(header, std::string("    void Handle(") + c.parameters + "); \\\n"))
        << header;
    EXPECT_TRUE(contains(header, "        publish(\"Handle\", &TPage1::Handle); \\\n"));
    EXPECT_TRUE(contains(header, std::string("), ") + c.kind + ">,\n")) << header;
}

INSTANTIATE_TEST_SUITE_P(
    PageCompiler, HandlerSignatures,
    testing::Values(
        SignatureCase{"", "OnCreate", "framework::Component* Sender", "framework::NotifyEvent"},
        SignatureCase{"", "onactivate", "framework::Component* Sender", "framework::NotifyEvent"},
        SignatureCase{"Button1: TButton", "OnClick", "framework::Component* Sender",
                      "framework::NotifyEvent"},
        SignatureCase{"Edit1: TEdit", "OnChange", "framework::Component* Sender",
                      "framework::NotifyEvent"},
        SignatureCase{"MltLang1: TMltLang", "OnBeforeChanging",
                      "framework::Component* Sender, bool& Allowed", "framework::ChangingEvent"},
        SignatureCase{"Tree1: TTreeView", "OnChange",
                      "framework::Component* Sender, framework::TTreeNode* Node",
                      "framework::TVChangedEvent"},
        SignatureCase{"Tree1: TShellTree", "OnExpanding",
                      "framework::Component* Sender, framework::TTreeNode* Node, bool& Allowed",
                      "framework::TVExpandingEvent"},
        SignatureCase{"Tree1: TTreeView", "OnEdited",
                      "framework::Component* Sender, framework::TTreeNode* Node, std::string& Text",
                      "framework::TVEditedEvent"}));

TEST(PageCompiler, AHandlerServingSeveralEventsOfOneKindIsDeclaredOnce) {
    const std::string header = generate(R"(object Page1: TPage1
  OnCreate = Changed
  object Button1: TButton
    OnClick = Changed
  end
  object Edit1: TEdit
    OnChange = Changed
  end
end
)");
    const std::string declaration = "    void Changed(framework::Component* Sender); \\\n";
    ASSERT_TRUE(contains(header, declaration));
    EXPECT_EQ(header.find(declaration), header.rfind(declaration));
    EXPECT_EQ(header.find("publish(\"Changed\""), header.rfind("publish(\"Changed\""));
    // Each event member is checked against its kind.
    EXPECT_TRUE(contains(header, "decltype(framework::TButton::OnClick), framework::NotifyEvent>"));
    EXPECT_TRUE(contains(header, "decltype(framework::TEdit::OnChange), framework::NotifyEvent>"));
    EXPECT_TRUE(contains(header, "decltype(framework::TForm::OnCreate), framework::NotifyEvent>"));
}

TEST(PageCompiler, APageWithoutHandlersStillBindsItsFields) {
    const std::string header =
        generate("object Page1: TPage1\n  object Label1: TLabel\n  end\nend\n");
    EXPECT_FALSE(contains(header, "static_assert"));
    EXPECT_TRUE(contains(header, "    void publishHandlers() override { \\\n    } \\\n"));
    EXPECT_TRUE(contains(header, "Label1 = field<framework::TLabel>(\"Label1\");"));
}

struct RefusalCase {
    const char* what;
    const char* definition;
    const char* error;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.what; }

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, NameTheFileAndLine) {
    EXPECT_EQ(refusal(GetParam().definition), GetParam().error) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    PageCompiler, Refusals,
    testing::Values(
        RefusalCase{"an event the class does not have",
                    "object Page1: TPage1\n  object Button1: TButton\n    Left = 8\n    OnDblClick "
                    "= Twice\n  end\nend\n",
                    "pages/TPage1.page:4: unknown event kind: TButton has no event OnDblClick"},
        RefusalCase{"an event the page does not have",
                    "object Page1: TPage1\n  OnPaint = Paint\nend\n",
                    "pages/TPage1.page:2: unknown event kind: TForm has no event OnPaint"},
        RefusalCase{"an unknown class",
                    "object Page1: TPage1\n  object Grid1: TStringGrid\n  end\nend\n",
                    "pages/TPage1.page:2: unknown component class TStringGrid of Grid1"},
        RefusalCase{
            "a component named twice, in another case and deeper down",
            "object Page1: TPage1\n  object Button1: TButton\n  end\n  object Panel1: TPanel\n"
            "    object button1: TButton\n    end\n  end\nend\n",
            "pages/TPage1.page:5: button1 is named twice (first on line 2)"},
        RefusalCase{"a component named like the page",
                    "object Page1: TPage1\n  object Page1: TButton\n  end\nend\n",
                    "pages/TPage1.page:2: Page1 is named twice (first on line 1)"},
        RefusalCase{
            "a handler named like a component",
            "object Page1: TPage1\n  object Button1: TButton\n    OnClick = Button1\n  end\nend\n",
            "pages/TPage1.page:3: handler Button1 has the name of the component on line 2"},
        RefusalCase{
            "one handler for events of different kinds",
            "object Page1: TPage1\n  OnCreate = Changed\n  object MltLang1: TMltLang\n"
            "    OnBeforeChanging = Changed\n  end\nend\n",
            "pages/TPage1.page:4: handler Changed serves a framework::ChangingEvent here and a "
            "framework::NotifyEvent on line 2"},
        RefusalCase{
            "an event given a text",
            "object Page1: TPage1\n  object Button1: TButton\n    OnClick = 'Click'\n  end\nend\n",
            "pages/TPage1.page:3: OnClick of Button1 needs a method name"},
        RefusalCase{"a handler path",
                    "object Page1: TPage1\n  object Button1: TButton\n    OnClick = Other.Click\n  "
                    "end\nend\n",
                    "pages/TPage1.page:3: OnClick of Button1 needs a method name"},
        RefusalCase{"a component name that is no C++ name",
                    "object Page1: TPage1\n  object Button.1: TButton\n  end\nend\n",
                    "pages/TPage1.page:2: component name Button.1 is no C++ name"},
        RefusalCase{"a definition that does not parse",
                    "object Page1: TPage1\n  Caption = 'open\nend\n",
                    "pages/TPage1.page:2: unterminated string"},
        RefusalCase{"a definition without its end",
                    "object Page1: TPage1\n  object Button1: TButton\n  end\n",
                    "pages/TPage1.page:4: 'end' missing for object Page1"}));

TEST(PageCompiler, AComponentTheBaseClassNeedsMustBeInTheDefinition) {
    EXPECT_EQ(refusal("object Page1: TPage1\n  object Button1: TButton\n  end\nend\n",
                      {"TPage1.page", {"ElasticForm1"}}),
              "TPage1.page:1: the page's base class needs a component ElasticForm1");
}

TEST(PageCompiler, ErrorsKeepTheirPartsApart) {
    try {
        generate("object Page1: TPage1\n\n  object X: TNothing\n  end\nend\n");
        FAIL() << "accepted";
    } catch (const EGeneratorError& e) {
        EXPECT_EQ(e.fileName(), "pages/TPage1.page");
        EXPECT_EQ(e.line(), 3);
        EXPECT_EQ(e.message(), "unknown component class TNothing of X");
    }
}
