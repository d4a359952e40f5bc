// Writes the page compiler's table of component classes (component_classes.h) from the
// classes the pages' registration really registers, at build time:
//
//   component_table_writer OUTPUT INCLUDE_ROOT...
//
// Each registered class comes with its published events (its ancestors' included) and the
// kind of each, known by the event's signature, and the C++ type its factory creates. The
// header that declares the type is found in the libraries' include roots: the one holding
// "class <name>" with its FRAMEWORK_CLASS line within "namespace <namespace>". The output is
// replaced only when its text changes. Errors read "component_table_writer: error: ...", exit
// status 1.

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "base/errors.h"
#include "framework/component.h"
#include "framework/form.h"
#include "framework/tree_view.h"
#include "setup/page_classes.h"

namespace {

namespace fs = std::filesystem;

struct KnownKind {
    const std::type_info& signature;
    const char* type;
    const char* parameters;
};

// Every event kind a page handler may serve, by its signature, with the parameters the
// generated handler declares. The type's name is the framework's own, spelled once.
#define EVENT_KIND(Type, parameters) \
    KnownKind { typeid(Type::Signature), #Type, parameters }
const KnownKind kKinds[] = {
    EVENT_KIND(framework::NotifyEvent, "framework::Component* Sender"),
    EVENT_KIND(framework::ChangingEvent, "framework::Component* Sender, bool& Allowed"),
    EVENT_KIND(framework::TVChangedEvent,
               "framework::Component* Sender, framework::TTreeNode* Node"),
    EVENT_KIND(framework::TVExpandingEvent,
               "framework::Component* Sender, framework::TTreeNode* Node, bool& Allowed"),
    EVENT_KIND(framework::TVEditedEvent,
               "framework::Component* Sender, framework::TTreeNode* Node, std::string& Text"),
};
#undef EVENT_KIND

class ETableError : public base::Exception {
    using base::Exception::Exception;
};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The headers declaring classes with class information, by the classes' qualified names.
using Declarations = std::map<std::string, std::string>;

// The name that stands after a line's opening word ("class TButton : ..." -> "TButton").
std::string nameAfter(const std::string& line, std::string_view word) {
    const std::size_t end = line.find_first_not_of(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_:", word.size());
    return line.substr(word.size(),
                       end == std::string::npos ? std::string::npos : end - word.size());
}

void readDeclarations(const fs::path& file, const std::string& header, Declarations& declarations) {
    std::ifstream in(file);
    std::string line, space, name;
    while (std::getline(in, line)) {
        if (line.starts_with("namespace ") && line.ends_with(" {"))
            space = nameAfter(line, "namespace ");
        if (line.starts_with("class ")) name = nameAfter(line, "class ");
        if (line.find("FRAMEWORK_CLASS(") != std::string::npos && !name.empty()) {
            declarations.emplace(std::string(space).append("::").append(name), header);
        }
    }
}

Declarations declarationsIn(const std::vector<fs::path>& roots) {
    Declarations declarations;
    for (const fs::path& root : roots) {
        std::vector<fs::path> headers;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
            if (entry.path().extension() == ".h" && entry.is_regular_file())
                headers.push_back(entry.path());
        }
        std::sort(headers.begin(), headers.end());
        for (const fs::path& header : headers) {
            readDeclarations(header, header.lexically_relative(root).generic_string(),
                             declarations);
        }
    }
    return declarations;
}

const KnownKind& kindOf(const framework::PropertyInfo& event, const std::string& className) {
    for (const KnownKind& kind : kKinds) {
        if (kind.signature == *event.signature) return kind;
    }
    throw ETableError(className + "." + event.name +
                      " is an event of a kind no page handler can serve");
}

std::string qualifiedName(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    if (status != 0) throw ETableError(std::string("cannot read the type name ") + type.name());
    return name.get();
}

// The entry of one class: {"TButton", "framework::TButton", "framework/buttons.h", {events}}.
std::string classEntry(const framework::ClassInfo& info, const std::type_info& type,
                       const Declarations& declarations) {
    const std::string typeName = qualifiedName(type);
    const auto found = declarations.find(typeName);
    if (found == declarations.end())
        throw ETableError(typeName + " is declared in no header of the include roots");
    std::string events;
    for (const framework::ClassInfo* c = &info; c != nullptr; c = c->parent()) {
        for (const framework::PropertyInfo& p : c->ownProperties()) {
            if (p.kind != framework::PropertyKind::Event) continue;
            if (!events.empty()) events += ", ";
            events += "{" + quoted(p.name) + ", " + quoted(kindOf(p, info.name()).type) + "}";
        }
    }
    return "{" + quoted(info.name()) + ", " + quoted(typeName) + ", " + quoted(found->second) +
           ", {" + events + "}}";
}

std::string tableSource(const std::vector<fs::path>& roots) {
    setup::registerPageClasses();
    const Declarations declarations = declarationsIn(roots);
    std::ostringstream out;
    out << "// Written by the build from the registered component classes.\n\n"
        << "#include \"component_classes.h\"\n\nnamespace page_compiler {\n\n"
        << "const std::vector<EventKind>& eventKinds() {\n"
        << "    static const std::vector<EventKind> kinds{\n";
    for (const KnownKind& kind : kKinds) {
        out << "        {" << quoted(kind.type) << ", " << quoted(kind.parameters) << "},\n";
    }
    out << "    };\n    return kinds;\n}\n\n"
        << "const std::vector<ComponentClass>& componentClasses() {\n"
        << "    static const std::vector<ComponentClass> table{\n";
    for (const framework::ClassRegistry::RegisteredClass& c :
         framework::ClassRegistry::instance().classes()) {
        out << "        " << classEntry(*c.info, *c.type, declarations) << ",\n";
    }
    out << "    };\n    return table;\n}\n\n"
        << "const ComponentClass& formClass() {\n"
        << "    static const ComponentClass form"
        << classEntry(framework::TForm::staticClassInfo(), typeid(framework::TForm), declarations)
        << ";\n    return form;\n}\n\n}  // namespace page_compiler\n";
    return out.str();
}

bool writeIfChanged(const std::string& path, const std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream old;
    old << in.rdbuf();
    if (in && old.str() == text) return true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: component_table_writer OUTPUT INCLUDE_ROOT...\n", stderr);
        return 2;
    }
    try {
        const std::string source = tableSource(std::vector<fs::path>(argv + 2, argv + argc));
        if (!writeIfChanged(argv[1], source))
            throw ETableError(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "component_table_writer: error: %s\n", e.what());
        return 1;
    }
    return 0;
}
