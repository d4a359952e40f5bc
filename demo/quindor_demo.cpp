// QUINDOR.EXE of the demo distribution: shows the screen language chosen in MARLO.INI and the
// dictionaries in the QUINDOR sub-folder; with --print on standard output instead of a window.

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Dictionary {
    std::string file;
    std::string language;
    std::optional<long long> words;  // empty when the file cannot be read
};

struct Facts {
    fs::path folder;
    std::string language;  // the screen language, e.g. "Dansk (DK)"
    std::vector<Dictionary> dictionaries;
};

std::string upper(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r"), last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// Texts from files and file names may hold control characters: they never reach a terminal.
std::string printable(std::string text) {
    std::ranges::replace_if(
        text, [](unsigned char c) { return c < 0x20 || c == 0x7f; }, '?');
    return text;
}

// The program's files lie beside the executable; the working folder is only the fallback.
fs::path installationFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return !error && self.has_parent_path() ? self.parent_path() : fs::current_path(error);
}

// Reads one value of a profile file as the profile service does: section and key names
// compare without regard to case and lines may end in CRLF. A ';' comment never matches a key.
std::optional<std::string> profileValue(const fs::path& file, const std::string& section,
                                        const std::string& key) {
    std::ifstream in(file, std::ios::binary);
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        line = trimmed(line);
        const auto equals = line.find('=');
        if (line.starts_with('[') && line.ends_with(']'))
            inSection = upper(trimmed(line.substr(1, line.size() - 2))) == upper(section);
        else if (inSection && equals != std::string::npos &&
                 upper(trimmed(line.substr(0, equals))) == upper(key))
            return trimmed(line.substr(equals + 1));
    }
    return std::nullopt;
}

const std::map<std::string, std::string> kScreenLanguages = {
    {"US", "English"},   {"CZ", "Czech"},    {"DK", "Dansk"},
    {"DE", "Deutsch"},   {"FR", "Français"}, {"NL", "Nederlands"},
    {"PL", "Po polsku"}, {"RU", "Ruski"},    {"SK", "Slovak"}};

const std::map<std::string, std::string> kDictionaryLanguages = {
    {"UK", "British English"}, {"US", "American English"}, {"DA", "Danish"},
    {"NL", "Dutch"},           {"DE", "German"},           {"FR", "French"},
    {"PL", "Polish"},          {"RU", "Russian"},          {"CZ", "Czeck"},
    {"SK", "Slovak"},          {"SI", "Slovenian"},        {"IT", "Italian"},
    {"SP", "Spanish"},         {"SE", "Swedish"},          {"ZA", "South-African"}};

std::string nameOf(const std::map<std::string, std::string>& names, const std::string& code) {
    const auto name = names.find(upper(code));
    return name == names.end() ? "unknown" : name->second;
}

std::string screenLanguage(const fs::path& folder) {
    const auto code = profileValue(folder / "MARLO.INI", "UserChoice", "MarloLanguage");
    if (!code || code->empty()) return "English (US; not set in MARLO.INI)";
    return nameOf(kScreenLanguages, *code) + " (" + printable(upper(*code)) + ")";
}

// A word list holds one word per line; blank lines are not words.
std::optional<long long> countWords(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    long long words = 0;
    for (std::string line; std::getline(in, line);)
        words += line.find_first_not_of(" \t\r") != std::string::npos;
    return in.eof() && !in.bad() ? std::optional(words) : std::nullopt;
}

std::vector<Dictionary> installedDictionaries(const fs::path& folder) {
    std::vector<Dictionary> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder / "QUINDOR", error)) {
        const fs::path& path = entry.path();
        if (upper(path.extension().string()) == ".DIC" && entry.is_regular_file(error))
            found.push_back({printable(path.filename().string()),
                             nameOf(kDictionaryLanguages, path.stem().string()), countWords(path)});
    }
    std::ranges::sort(found, {}, &Dictionary::file);
    return found;
}

Facts gatherFacts(const fs::path& folder = installationFolder()) {
    return {folder, screenLanguage(folder), installedDictionaries(folder)};
}

std::string summary(const Facts& facts) {
    return "Installation folder: " + printable(facts.folder.string()) +
           "\nScreen language: " + facts.language + '\n';
}

void printFacts(const Facts& facts) {
    std::cout << "Quindor 1.2\n"
              << summary(facts) << "Dictionaries: " << facts.dictionaries.size() << '\n';
    for (const Dictionary& d : facts.dictionaries)
        std::cout << "  " << d.file << "  " << d.language << "  "
                  << (d.words ? std::to_string(*d.words) : "unreadable")
                  << (d.words == 1 ? " word\n"
                      : d.words    ? " words\n"
                                   : "\n");
}

QTreeWidget* dictionaryList(const Facts& facts) {
    auto* list = new QTreeWidget;
    list->setHeaderLabels({"Dictionary", "Language", "Words"});
    list->setRootIsDecorated(false);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const Dictionary& d : facts.dictionaries)
        new QTreeWidgetItem(list,
                            {QString::fromStdString(d.file), QString::fromStdString(d.language),
                             d.words ? QLocale().toString(*d.words) : "unreadable"});
    return list;
}

int showWindow(int argc, char** argv) {
    QApplication app(argc, argv);  // takes the toolkit's own options out of argv
    if (QCoreApplication::arguments().size() > 1) {
        std::cerr << "usage: " << argv[0] << " [--print]\n";
        return 2;
    }
    const Facts facts = gatherFacts();
    QWidget window;
    window.setWindowTitle("Quindor 1.2");
    auto* layout = new QVBoxLayout(&window);
    auto* label = new QLabel(
        QString::fromStdString(summary(facts)) + '\n' +
        (facts.dictionaries.empty() ? "No dictionaries installed." : "Installed dictionaries:"));
    label->setTextFormat(Qt::PlainText);  // file contents are never markup
    layout->addWidget(label);
    layout->addWidget(dictionaryList(facts));
    auto* close = new QPushButton("Close");
    QObject::connect(close, &QPushButton::clicked, &window, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    window.resize(460, 340);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1] != std::string("--print")) return showWindow(argc, argv);
    printFacts(gatherFacts());
    return 0;
}
