#pragma once
// The page compiler's core: from a page's stored definition, the C++ header that gives
// the page class its typed control fields, its handler declarations (each with the
// parameters of the event it serves), the publishing of those handlers by name and the
// binding of the fields once the page is read. A page class takes them with the macro
// <Class>_GENERATED in its body; a control or handler the class and the definition
// disagree on then fails to compile or to link.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>
#include "base/errors.h"

namespace page_compiler {

struct PageOptions {
    std::string fileName;  // the definition's file, named in errors
    // Components whose fields the page's base class declares: bound, not declared again.
    std::vector<std::string> inheritedFields;
};

// what() reads "file:line: message".
class EGeneratorError : public base::Exception {
public:
    EGeneratorError(const std::string& fileName, int line, const std::string& message);
    const std::string& fileName() const { return m_fileName; }
    int line() const { return m_line; }
    const std::string& message() const { return m_message; }

private:
    std::string m_fileName;
    int m_line;
    std::string m_message;
};

std::string generatePageHeader(std::string_view definition, const PageOptions& options);

}  // namespace page_compiler
