#pragma once
// The text form of a stored page: a tree of objects, each with its name, class, its
// properties in stored order and its owned objects. Parsing is a pure step; the form
// reader creates and sets the objects afterwards.
//
//   object isForm1: TisForm1
//     Caption = 'It''s a '#34'quoted'#34' text' + 'continued'
//     Font.Style = [fsBold]
//     Lines = ('first' 'second')
//     Picture.Data = {424D...}
//     object Button2: TButton
//       Left = 8
//     end
//   end
//
// '#n' is the character with code n (so pages stay ASCII), written as UTF-8.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "property_value.h"

namespace framework {

struct PropertyNode {
    std::string name;  // may be dotted, e.g. Font.Style
    PropertyValue value;
    int line = 0;
};

struct ObjectNode {
    std::string name;
    std::string className;
    int line = 0;
    std::vector<PropertyNode> properties;
    std::vector<ObjectNode> children;
};

class EParseError : public base::Exception {
public:
    EParseError(int line, const std::string& message);
    int line() const { return m_line; }

private:
    int m_line;
};

ObjectNode parsePageDefinition(std::string_view text);

}  // namespace framework
