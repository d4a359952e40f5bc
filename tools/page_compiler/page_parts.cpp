#include "page_parts.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>

#include "component_classes.h"
#include "framework/page_definition.h"

namespace page_compiler {

using framework::ObjectNode;
using framework::PropertyNode;

EGeneratorError::EGeneratorError(const std::string& fileName, int line, const std::string& message)
    : base::Exception(fileName + ":" + std::to_string(line) + ": " + message),
      m_fileName(fileName),
      m_line(line),
      m_message(message) {}

namespace {

struct Field {
    std::string name;
    const ComponentClass* componentClass;
    bool inherited;
    int line;
};

struct Handler {
    std::string name;
    const EventKind* kind;
    int line;
};

// The event member whose kind a static assertion in the header checks.
struct EventCheck {
    const ComponentClass* componentClass;
    std::string_view event;
    bool operator<(const EventCheck& other) const {
        return std::tie(componentClass->storedName, event) <
               std::tie(other.componentClass->storedName, other.event);
    }
};

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool isCppIdentifier(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) return false;
    return std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

// A property that names an event: "On" and a capital, not a path into a sub-object.
bool looksLikeEvent(std::string_view name) {
    return name.size() > 2 && name.substr(0, 2) == "On" &&
           std::isupper(static_cast<unsigned char>(name[2])) &&
           name.find('.') == std::string_view::npos;
}

const EventSlot* findEvent(const ComponentClass& c, std::string_view name) {
    for (const EventSlot& slot : c.events) {
        if (lowerCase(slot.name) == lowerCase(name)) return &slot;
    }
    return nullptr;
}

// What a definition names, gathered and checked before anything is written.
class PageModel {
public:
    explicit PageModel(const PageOptions& options) : m_options(options) {}

    void read(const ObjectNode& root) {
        m_className = root.className;
        if (!isCppIdentifier(m_className))
            fail(root.line, "page class " + m_className + " is no C++ name");
        claimName(root.name, root.line);
        readEvents(root, formClass());
        for (const ObjectNode& child : root.children) readComponent(child);
        checkInheritedFields(root.line);
    }

    const std::string& className() const { return m_className; }
    const std::vector<Field>& fields() const { return m_fields; }
    const std::vector<Handler>& handlers() const { return m_handlers; }
    const std::set<EventCheck>& eventChecks() const { return m_eventChecks; }

private:
    [[noreturn]] void fail(int line, const std::string& message) const {
        throw EGeneratorError(m_options.fileName, line, message);
    }

    // Component names compare without regard to case, as the page looks them up.
    void claimName(const std::string& name, int line) {
        if (!isCppIdentifier(name)) fail(line, "component name " + name + " is no C++ name");
        const auto [it, added] = m_names.emplace(lowerCase(name), line);
        if (!added)
            fail(line, name + " is named twice (first on line " + std::to_string(it->second) + ")");
    }

    void readComponent(const ObjectNode& node) {
        claimName(node.name, node.line);
        const ComponentClass* c = findComponentClass(node.className);
        if (c == nullptr)
            fail(node.line, "unknown component class " + node.className + " of " + node.name);
        m_fields.push_back({node.name, c, isInherited(node.name), node.line});
        readEvents(node, *c);
        for (const ObjectNode& child : node.children) readComponent(child);
    }

    void readEvents(const ObjectNode& node, const ComponentClass& c) {
        for (const PropertyNode& property : node.properties) {
            const EventSlot* slot = findEvent(c, property.name);
            if (slot == nullptr) {
                if (looksLikeEvent(property.name)) {
                    fail(property.line, "unknown event kind: " + std::string(c.storedName) +
                                            " has no event " + property.name);
                }
                continue;
            }
            const auto* method = std::get_if<framework::Identifier>(&property.value);
            if (method == nullptr || !isCppIdentifier(method->name)) {
                fail(property.line, property.name + " of " + node.name + " needs a method name");
            }
            const EventKind* kind = findEventKind(slot->kind);
            if (kind == nullptr)
                fail(property.line, "unknown event kind " + std::string(slot->kind));
            m_eventChecks.insert({&c, slot->name});
            addHandler({method->name, kind, property.line});
        }
    }

    // One handler may serve several events, all of one kind.
    void addHandler(const Handler& handler) {
        for (const Handler& known : m_handlers) {
            if (known.name != handler.name) continue;
            if (known.kind != handler.kind) {
                fail(handler.line, "handler " + handler.name + " serves a " +
                                       std::string(handler.kind->type) + " here and a " +
                                       std::string(known.kind->type) + " on line " +
                                       std::to_string(known.line));
            }
            return;
        }
        m_handlers.push_back(handler);
    }

    bool isInherited(const std::string& name) const {
        const auto& inherited = m_options.inheritedFields;
        return std::find(inherited.begin(), inherited.end(), name) != inherited.end();
    }

    void checkInheritedFields(int rootLine) const {
        for (const std::string& name : m_options.inheritedFields) {
            const bool found = std::any_of(m_fields.begin(), m_fields.end(),
                                           [&](const Field& f) { return f.name == name; });
            if (!found) fail(rootLine, "the page's base class needs a component " + name);
        }
        for (const Handler& handler : m_handlers) {
            const auto clash = m_names.find(lowerCase(handler.name));
            if (clash != m_names.end()) {
                fail(handler.line, "handler " + handler.name +
                                       " has the name of the component on line " +
                                       std::to_string(clash->second));
            }
        }
    }

    const PageOptions& m_options;
    std::string m_className;
    std::vector<Field> m_fields;
    std::vector<Handler> m_handlers;
    std::set<EventCheck> m_eventChecks;
    std::map<std::string, int> m_names;
};

// The header, written line by line; the macro's lines end in a continuation.
class HeaderWriter {
public:
    explicit HeaderWriter(const PageModel& page, std::string_view fileName)
        : m_page(page), m_file(fileName) {}

    std::string write() {
        m_out +=
            "// Generated by the page compiler from " + baseName() + ": the page's controls and\n";
        m_out += "// handlers. Edit the definition, not this file.\n#pragma once\n\n";
        m_out += "#include <string>\n#include <type_traits>\n\n";
        writeIncludes();
        writeEventChecks();
        writeMacro();
        return m_out;
    }

private:
    std::string baseName() const {
        const std::size_t slash = m_file.find_last_of('/');
        return std::string(slash == std::string_view::npos ? m_file : m_file.substr(slash + 1));
    }

    void writeIncludes() {
        std::set<std::string_view> headers{formClass().header};
        for (const Field& f : m_page.fields()) headers.insert(f.componentClass->header);
        for (std::string_view header : headers)
            m_out += "#include \"" + std::string(header) + "\"\n";
        m_out += "\n";
    }

    void writeEventChecks() {
        if (m_page.eventChecks().empty()) return;
        m_out +=
            "// The kind of every event the page handles, as its handlers are declared below.\n";
        for (const EventCheck& check : m_page.eventChecks()) {
            const std::string member =
                std::string(check.componentClass->type) + "::" + std::string(check.event);
            const std::string kind(findEvent(*check.componentClass, check.event)->kind);
            m_out.append("static_assert(std::is_same_v<decltype(").append(member).append("), ");
            m_out.append(kind).append(">,\n              \"").append(member).append(" is no ");
            m_out.append(kind).append("\");\n");
        }
        m_out += "\n";
    }

    void line(const std::string& text) { m_out += text + " \\\n"; }

    void writeMacro() {
        const std::string& page = m_page.className();
        m_out += "#define " + page + "_GENERATED \\\n";
        line("public:");
        line("    static const framework::ClassInfo& staticClassInfo() {");
        line("        static const framework::ClassInfo info(\"" + page +
             "\", &framework::TForm::staticClassInfo(), {});");
        line("        return info;");
        line("    }");
        line(
            "    const framework::ClassInfo& classInfo() const override { return "
            "staticClassInfo(); }");
        for (const Field& f : m_page.fields()) {
            if (!f.inherited)
                line("    " + std::string(f.componentClass->type) + "* " + f.name + " = nullptr;");
        }
        for (const Handler& h : m_page.handlers()) {
            line("    void " + h.name + "(" + std::string(h.kind->parameters) + ");");
        }
        line("protected:");
        line("    void publishHandlers() override {");
        for (const Handler& h : m_page.handlers()) {
            line("        publish(\"" + h.name + "\", &" + page + "::" + h.name + ");");
        }
        line("    }");
        line("    void bindFields() override {");
        for (const Field& f : m_page.fields()) {
            line("        " + f.name + " = field<" + std::string(f.componentClass->type) + ">(\"" +
                 f.name + "\");");
        }
        line("    }");
        m_out += "private:\n";
    }

    const PageModel& m_page;
    std::string_view m_file;
    std::string m_out;
};

ObjectNode parse(std::string_view definition, const std::string& fileName) {
    try {
        return framework::parsePageDefinition(definition);
    } catch (const framework::EParseError& e) {
        // The parser's message starts with its own "line N: ".
        std::string message = e.what();
        const std::string prefix = "line " + std::to_string(e.line()) + ": ";
        if (message.rfind(prefix, 0) == 0) message.erase(0, prefix.size());
        throw EGeneratorError(fileName, e.line(), message);
    }
}

}  // namespace

std::string generatePageHeader(std::string_view definition, const PageOptions& options) {
    PageModel page(options);
    page.read(parse(definition, options.fileName));
    return HeaderWriter(page, options.fileName).write();
}

}  // namespace page_compiler
