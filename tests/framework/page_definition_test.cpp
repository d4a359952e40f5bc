// The text form of stored pages: values of every kind, and errors that name their line.

#include "framework/page_definition.h"

#include <gtest/gtest.h>

using namespace framework;

TEST(PageDefinition, ReadsObjectsPropertiesAndValuesOfEveryKind) {
    const ObjectNode root = parsePageDefinition(R"(object Page1: TPage
  Left = -12
  Version = 3.05
  Caption = 'It''s '#34'quoted'#34 +
    ' and continued'
  Code = 'Fran'#231'ais'
  Break = 'one'#13#10'two'
  Empty = ''
  Style = [fsBold, fsItalic]
  NoStyle = []
  Lines = (
    'first'
    ''
    'third')
  Data = {
    424D 00ff
    7A}
  Kind = alClient // a comment
  object Box: TGroupBox
    object Check: TCheckBox
      Checked = True
    end
  end
  object Other: TButton
  end
end
)");
    EXPECT_EQ(root.name, "Page1");
    EXPECT_EQ(root.className, "TPage");
    ASSERT_EQ(root.properties.size(), 11U);
    const auto value = [&](std::size_t i) { return root.properties[i].value; };
    EXPECT_EQ(std::get<std::int64_t>(value(0)), -12);
    EXPECT_DOUBLE_EQ(std::get<double>(value(1)), 3.05);
    EXPECT_EQ(std::get<std::string>(value(2)), "It's \"quoted\" and continued");
    EXPECT_EQ(std::get<std::string>(value(3)),
              "Fran\xC3\xA7"
              "ais");
    EXPECT_EQ(std::get<std::string>(value(4)), "one\r\ntwo");
    EXPECT_EQ(std::get<std::string>(value(5)), "");
    EXPECT_EQ(std::get<SetValue>(value(6)), (SetValue{{"fsBold", "fsItalic"}}));
    EXPECT_EQ(std::get<SetValue>(value(7)), SetValue{});
    EXPECT_EQ(std::get<StringList>(value(8)), (StringList{"first", "", "third"}));
    EXPECT_EQ(std::get<Bytes>(value(9)), (Bytes{0x42, 0x4D, 0x00, 0xFF, 0x7A}));
    EXPECT_EQ(std::get<Identifier>(value(10)).name, "alClient");
    EXPECT_EQ(root.properties[2].line, 4);
    ASSERT_EQ(root.children.size(), 2U);
    EXPECT_EQ(root.children[0].children.at(0).name, "Check");
    EXPECT_EQ(std::get<Identifier>(root.children[0].children[0].properties.at(0).value).name,
              "True");
    EXPECT_EQ(root.children[1].className, "TButton");
    EXPECT_EQ(root.children[1].line, 24);
}

TEST(PageDefinition, ErrorsNameTheirLine) {
    const std::vector<std::tuple<std::string, int, std::string>> rows = {
        {"object A: T\n  Caption = 'open\nend\n", 2, "unterminated string"},
        {"object A: T\n  Left = 1\n", 3, "'end' missing"},
        {"object A: T\n  Data = {ABC}\nend\n", 2, "odd number"},
        {"object A: T\n  Data = {AG}\nend\n", 2, "bad hexadecimal"},
        {"object A: T\n  Data = {41\n  42\n", 4, "'}' missing"},
        {"object A: T\n  Data = {41 // a note\n  4}\nend\n", 3, "odd number"},
        {"object A: T\n  Data = {41 / 42}\nend\n", 2, "bad hexadecimal"},
        {"object A: T\n  C = #300\nend\n", 2, "bad character code"},
        {"object A: T\nend\nobject B: T\nend\n", 3, "text after"},
        {"object A: T\n  Left 5\nend\n", 2, "'=' expected"},
        {"thing A: T\nend\n", 1, "'object' expected"},
        {"object A: T\n  Left = 1.2.3\nend\n", 2, "bad number"},
        {"object A: T\n  S = [a b]\nend\n", 2, "',' expected"},
        {"object A: T\n  C = 'a' +\n  5\nend\n", 3, "a string expected"},
        {"object A: T\n  L = ('a' 5)\nend\n", 2, "a string expected in a list"},
        {"object A T\nend\n", 1, "':' expected"},
    };
    for (const auto& [text, line, message] : rows) {
        SCOPED_TRACE(text);
        try {
            parsePageDefinition(text);
            ADD_FAILURE() << "no error";
        } catch (const EParseError& e) {
            EXPECT_EQ(e.line(), line);
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}
