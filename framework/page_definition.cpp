#include "page_definition.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace framework {

EParseError::EParseError(int line, const std::string& message)
    : base::Exception("line " + std::to_string(line) + ": " + message), m_line(line) {}

namespace {

void appendCodePoint(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    ObjectNode parseDocument() {
        ObjectNode root = parseObject();
        skipSpace();
        if (!atEnd()) fail("text after the final end");
        return root;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }

    [[noreturn]] void fail(const std::string& message) const { throw EParseError(m_line, message); }

    void skipSpace() {
        while (!atEnd()) {
            char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
                while (!atEnd() && m_text[m_pos] != '\n') ++m_pos;
                continue;
            } else if (!std::isspace(static_cast<unsigned char>(c))) {
                return;
            }
            ++m_pos;
        }
    }

    static bool isWordChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
    }

    std::string word() {
        skipSpace();
        std::size_t start = m_pos;
        while (!atEnd() && isWordChar(m_text[m_pos])) ++m_pos;
        if (start == m_pos) fail("a name expected");
        return std::string(m_text.substr(start, m_pos - start));
    }

    void expect(char c) {
        skipSpace();
        if (peek() != c) fail(std::string("'") + c + "' expected");
        ++m_pos;
    }

    ObjectNode parseObject() {
        ObjectNode node;
        skipSpace();
        node.line = m_line;
        if (word() != "object") fail("'object' expected");
        node.name = word();
        expect(':');
        node.className = word();
        for (;;) {
            skipSpace();
            if (atEnd()) fail("'end' missing for object " + node.name);
            std::size_t save = m_pos;
            int line = m_line;
            std::string name = word();
            if (name == "end") return node;
            if (name == "object") {
                m_pos = save;
                m_line = line;
                node.children.push_back(parseObject());
                continue;
            }
            expect('=');
            node.properties.push_back({name, parseValue(), line});
        }
    }

    PropertyValue parseValue() {
        skipSpace();
        char c = peek();
        if (c == '\'' || c == '#') return parseString();
        if (c == '[') return parseSet();
        if (c == '(') return parseList();
        if (c == '{') return parseBinary();
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return parseNumber();
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') return Identifier{word()};
        fail("a value expected");
    }

    PropertyValue parseNumber() {
        std::size_t start = m_pos;
        if (peek() == '-') ++m_pos;
        while (!atEnd() && (std::isdigit(static_cast<unsigned char>(peek())) || peek() == '.'))
            ++m_pos;
        std::string_view digits = m_text.substr(start, m_pos - start);
        const char* first = digits.data();
        const char* last = first + digits.size();
        if (digits.find('.') != std::string_view::npos) {
            double d = 0;
            auto [end, ec] = std::from_chars(first, last, d);
            if (ec != std::errc() || end != last) fail("bad number " + std::string(digits));
            return d;
        }
        std::int64_t i = 0;
        auto [end, ec] = std::from_chars(first, last, i);
        if (ec != std::errc() || end != last) fail("bad number " + std::string(digits));
        return i;
    }

    // Quoted segments and #n codes, joined directly or with '+' across lines.
    std::string parseString() {
        std::string out;
        for (;;) {
            char c = peek();
            if (c == '\'') {
                readQuoted(out);
            } else if (c == '#') {
                ++m_pos;
                std::size_t start = m_pos;
                while (std::isdigit(static_cast<unsigned char>(peek()))) ++m_pos;
                unsigned code = 0;
                auto [end, ec] =
                    std::from_chars(m_text.data() + start, m_text.data() + m_pos, code);
                if (ec != std::errc() || start == m_pos || code > 255) fail("bad character code");
                (void)end;
                appendCodePoint(out, code);
            } else {
                std::size_t save = m_pos;
                int line = m_line;
                skipSpace();
                if (peek() == '+') {
                    ++m_pos;
                    skipSpace();
                    if (peek() != '\'' && peek() != '#') fail("a string expected after '+'");
                    continue;
                }
                m_pos = save;
                m_line = line;
                return out;
            }
        }
    }

    void readQuoted(std::string& out) {
        ++m_pos;
        for (;;) {
            if (atEnd() || peek() == '\n') fail("unterminated string");
            char c = m_text[m_pos++];
            if (c != '\'') {
                out += c;
            } else if (peek() == '\'') {
                out += '\'';
                ++m_pos;
            } else {
                return;
            }
        }
    }

    SetValue parseSet() {
        expect('[');
        SetValue set;
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return set;
        }
        for (;;) {
            set.members.push_back(word());
            skipSpace();
            if (peek() == ']') {
                ++m_pos;
                return set;
            }
            expect(',');
        }
    }

    StringList parseList() {
        expect('(');
        StringList list;
        for (;;) {
            skipSpace();
            if (peek() == ')') {
                ++m_pos;
                return list;
            }
            if (peek() != '\'' && peek() != '#') fail("a string expected in a list");
            list.push_back(parseString());
        }
    }

    // Pictures make up most of a page's text: digits are taken one after the other, and
    // only what lies between them goes through the general skipping of blanks and comments.
    Bytes parseBinary() {
        expect('{');
        Bytes bytes;
        bytes.reserve((std::min(m_text.find('}', m_pos), m_text.size()) - m_pos) / 2);
        int high = -1;
        for (;;) {
            if (atEnd()) fail("'}' missing");
            const char c = m_text[m_pos];
            if (const int digit = hexDigit(c); digit >= 0) {
                ++m_pos;
                if (high < 0) {
                    high = digit;
                } else {
                    bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
                    high = -1;
                }
            } else if (c == '}') {
                ++m_pos;
                break;
            } else {
                const std::size_t before = m_pos;
                skipSpace();
                if (m_pos == before) fail("bad hexadecimal digit");
            }
        }
        if (high >= 0) fail("odd number of hexadecimal digits");
        return bytes;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
};

}  // namespace

ObjectNode parsePageDefinition(std::string_view text) { return Parser(text).parseDocument(); }

}  // namespace framework
