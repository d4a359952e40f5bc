// Writes each page's translation container (MltLang1's Items.ObjectContainer) from the
// translations file with the multi-language subsystem's own writer.
//
//   make_containers TRANSLATIONS PAGES_DIR --write        rewrite the pages' containers
//   make_containers TRANSLATIONS PAGES_DIR --check        fail when a page differs
//   make_containers TRANSLATIONS PAGES_DIR --seeds DIR    write fuzz seeds into DIR/<target>/
//
// An item's CompIndex is its component's position among the page's components, and its
// language-0 text must be the text the page itself stores for that property.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/errors.h"
#include "framework/page_definition.h"
#include "mltlang/configuration.h"
#include "mltlang/dictionary.h"
#include "mltlang/mltlang1.h"

namespace {

namespace fs = std::filesystem;
using framework::ObjectNode;
using Bytes = std::vector<std::uint8_t>;

class EToolError : public base::Exception {
public:
    using Exception::Exception;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EToolError("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out.flush()) throw EToolError("cannot write " + path.string());
}

const framework::PropertyValue* findProperty(const ObjectNode& node, std::string_view name) {
    for (const auto& p : node.properties) {
        if (p.name == name) return &p.value;
    }
    return nullptr;
}

std::string stringProperty(const ObjectNode& node, std::string_view name) {
    const auto* value = findProperty(node, name);
    const auto* text = value != nullptr ? std::get_if<std::string>(value) : nullptr;
    if (text == nullptr) throw EToolError(node.name + " needs the string " + std::string(name));
    return *text;
}

// The page's components in the order the page creates them (depth first).
void collectComponents(const ObjectNode& node, std::vector<const ObjectNode*>& out) {
    for (const ObjectNode& child : node.children) {
        out.push_back(&child);
        collectComponents(child, out);
    }
}

struct Target {
    std::int32_t index;
    const ObjectNode* node;
};

Target findTarget(const ObjectNode& page, const std::string& name) {
    if (page.name == name) return {-1, &page};
    std::vector<const ObjectNode*> components;
    collectComponents(page, components);
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (components[i]->name == name) return {static_cast<std::int32_t>(i), components[i]};
    }
    throw EToolError(page.className + " has no component " + name);
}

std::unique_ptr<mltlang::TCIStr> makeItem(const ObjectNode& source, const ObjectNode& page,
                                          int languages) {
    auto item = std::make_unique<mltlang::TCIStr>();
    const Target target = findTarget(page, source.name);
    item->CompName = source.name;
    item->CompIndex = target.index;
    item->PropName = stringProperty(source, "PropName");
    const auto* texts = findProperty(source, "Texts");
    if (texts == nullptr || !std::holds_alternative<framework::StringList>(*texts)) {
        throw EToolError(source.name + " needs its Texts");
    }
    item->Texts = std::get<framework::StringList>(*texts);
    if (static_cast<int>(item->Texts.size()) > languages)
        throw EToolError(source.name + ": more texts than languages");
    item->Texts.resize(static_cast<std::size_t>(languages));
    if (stringProperty(*target.node, item->PropName) != item->Texts[0]) {
        throw EToolError(page.className + ": the language-0 " + item->PropName + " of " +
                         source.name + " is not the page's own text");
    }
    return item;
}

void addLanguages(const ObjectNode& source, mltlang::TLngLst& languages) {
    const auto* value = findProperty(source, "Languages");
    const auto* set = value != nullptr ? std::get_if<framework::SetValue>(value) : nullptr;
    if (set == nullptr) throw EToolError(source.name + " needs its Languages");
    for (const std::string& name : set->members) {
        const auto id = mltlang::LangidFromName(name);
        if (!id) throw EToolError(source.name + ": unknown language " + name);
        auto entry = std::make_unique<mltlang::TLngId>();
        entry->Id = *id;
        languages.AddNew(std::move(entry));
    }
}

std::unique_ptr<mltlang::TInfoList> makeContainer(const ObjectNode& source,
                                                  const ObjectNode& page) {
    auto list = std::make_unique<mltlang::TInfoList>();
    addLanguages(source, list->Languages);
    for (const ObjectNode& item : source.children) {
        list->AddNew(makeItem(item, page, list->Languages.Count()));
    }
    return list;
}

// The binary value as page definitions write it: 32 bytes a line, the brace closing the last.
std::string hexBlock(const Bytes& bytes, const std::string& indent) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 32 == 0) text += "\n" + indent;
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text + "}";
}

// The page text with MltLang1's container replaced (or removed when bytes is empty).
std::string withContainer(const std::string& page, const Bytes& bytes) {
    std::istringstream in(page);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::string out;
    std::string indent;
    bool inComponent = false;
    bool inContainer = false;
    for (const std::string& line : lines) {
        const std::size_t start = line.find_first_not_of(' ');
        const std::string trimmed = start == std::string::npos ? "" : line.substr(start);
        if (trimmed == "object MltLang1: TMltLang") {
            inComponent = true;
            indent = line.substr(0, start) + "  ";
        } else if (inComponent && line == indent.substr(2) + "end") {
            inComponent = false;
        }
        if (inContainer) {
            inContainer = line.find('}') == std::string::npos;
            continue;
        }
        if (inComponent && trimmed.starts_with("Items.ObjectContainer = {")) {
            inContainer = line.find('}') == std::string::npos;
            continue;
        }
        out += line + "\n";
        if (inComponent && trimmed.starts_with("MaxLang = ") && !bytes.empty()) {
            out += indent + "Items.ObjectContainer = {" + hexBlock(bytes, indent + "  ") + "\n";
        }
    }
    return out;
}

void writeSeed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    writeFile(folder / name, std::string(bytes.begin(), bytes.end()));
}

Bytes dictionaryOf(const mltlang::TInfoList& list) {
    mltlang::TDictionary dictionary;
    for (int i = 0; i < list.Count(); ++i) {
        auto entry = std::make_unique<mltlang::TDictionaryItem>();
        entry->Texts = static_cast<mltlang::TCIStr*>(list.Item(i))->Texts;
        dictionary.AddNew(std::move(entry));
    }
    for (int i = 0; i < list.Languages.Count(); ++i)
        dictionary.Languages.AddId(list.Languages.GetId(i));
    mltlang::TMemoryStream stream;
    dictionary.WriteData(stream);
    return stream.Bytes();
}

void writeSeeds(const fs::path& corpus, const std::string& page, const mltlang::TInfoList& list) {
    writeSeed(corpus / "mltlang_object_stream", "seed-" + page + "-container",
              list.ObjectContainer());
    mltlang::TMemoryStream object;
    mltlang::WriteObject(&list, object);
    writeSeed(corpus / "mltlang_object_stream", "seed-" + page + "-object", object.Bytes());
    writeSeed(corpus / "mltlang_dictionary", "seed-" + page, dictionaryOf(list));
}

void writeConfigurationSeed(const fs::path& corpus) {
    mltlang::TConfiguration configuration("/usr/lib/quindor/");
    mltlang::TMemoryStream stream;
    configuration.SaveToStream(stream);
    writeSeed(corpus / "mltlang_configuration", "seed-default-mltlang.cfg", stream.Bytes());
}

int run(const fs::path& translations, const fs::path& pages, const std::string& mode,
        const fs::path& seeds) {
    mltlang::RegisterMltLangClasses();
    const ObjectNode root = framework::parsePageDefinition(readFile(translations));
    int differing = 0;
    for (const fs::path& file : fs::directory_iterator(pages)) {
        if (file.extension() != ".page") continue;
        const std::string text = readFile(file);
        const ObjectNode page = framework::parsePageDefinition(text);
        const ObjectNode* source = nullptr;
        for (const ObjectNode& child : root.children) {
            if (child.name == page.className) source = &child;
        }
        std::unique_ptr<mltlang::TInfoList> list = source ? makeContainer(*source, page) : nullptr;
        const Bytes bytes = list && list->HasObjectContainer() ? list->ObjectContainer() : Bytes{};
        if (mode == "--seeds") {
            if (list) writeSeeds(seeds, page.className, *list);
            continue;
        }
        const std::string wanted = withContainer(text, bytes);
        if (wanted == text) continue;
        if (mode == "--write") {
            writeFile(file, wanted);
            std::printf("wrote %s (%zu bytes)\n", file.filename().c_str(), bytes.size());
        } else {
            std::fprintf(stderr, "%s: the container differs from the translations\n", file.c_str());
            ++differing;
        }
    }
    if (mode == "--seeds") writeConfigurationSeed(seeds);
    return differing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc >= 4 ? argv[3] : "";
    if ((mode != "--write" && mode != "--check" && mode != "--seeds") ||
        (mode == "--seeds") != (argc == 5)) {
        std::fprintf(stderr,
                     "usage: %s TRANSLATIONS PAGES_DIR --write | --check | --seeds CORPUS_DIR\n",
                     argv[0]);
        return 2;
    }
    try {
        return run(argv[1], argv[2], mode, argc == 5 ? argv[4] : "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
}
