#include "shown_text.h"

#include <algorithm>
#include <vector>

namespace framework {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One character of the bytes: a well-formed UTF-8 sequence, or a single byte that is none.
struct Piece {
    std::size_t bytes;   // where it starts in the bytes
    std::size_t units;   // where it starts in the shown text
    char32_t character;  // kReplacement for a byte that is no character
};

bool continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The character starting at `at` and its length, or nothing (length 0) when the bytes there
// are not a well-formed sequence: no overlong forms, no surrogates, nothing beyond U+10FFFF.
std::pair<char32_t, std::size_t> decodeAt(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF8   ? 0
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    if (length == 0 || at + length > bytes.size()) return {0, 0};
    char32_t character = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + i]);
        if (!continuation(byte)) return {0, 0};
        character = (character << 6) | (byte & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
    if (character < kLeast[length] || surrogate || character > 0x10FFFF) return {0, 0};
    return {character, length};
}

std::size_t unitsOf(char32_t character) { return character >= 0x10000 ? 2 : 1; }

// The pieces of the bytes, with one more at the end marking where both texts end.
std::vector<Piece> piecesOf(std::string_view bytes) {
    std::vector<Piece> pieces;
    std::size_t at = 0;
    std::size_t units = 0;
    while (at < bytes.size()) {
        auto [character, length] = decodeAt(bytes, at);
        if (length == 0) {
            character = kReplacement;
            length = 1;
        }
        pieces.push_back({at, units, character});
        at += length;
        units += unitsOf(character);
    }
    pieces.push_back({at, units, 0});
    return pieces;
}

void appendUnits(std::u16string& out, char32_t character) {
    if (character < 0x10000) {
        out += static_cast<char16_t>(character);
        return;
    }
    character -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (character >> 10));
    out += static_cast<char16_t>(0xDC00 + (character & 0x3FF));
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-8 of UTF-16 units; a lone surrogate becomes U+FFFD.
std::string utf8Of(std::u16string_view units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

// The last piece that starts at or before `units`.
const Piece& pieceAtOrBefore(const std::vector<Piece>& pieces, std::size_t units) {
    auto after = std::upper_bound(pieces.begin(), pieces.end(), units,
                                  [](std::size_t u, const Piece& p) { return u < p.units; });
    return *(after - 1);
}

// The first piece that starts at or after `units`.
const Piece& pieceAtOrAfter(const std::vector<Piece>& pieces, std::size_t units) {
    return *std::lower_bound(pieces.begin(), pieces.end(), units,
                             [](const Piece& p, std::size_t u) { return p.units < u; });
}

}  // namespace

std::u16string shownText(std::string_view bytes) {
    std::u16string shown;
    const std::vector<Piece> pieces = piecesOf(bytes);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) appendUnits(shown, pieces[i].character);
    return shown;
}

std::string keptBytes(std::string_view bytes, std::u16string_view edited) {
    const std::u16string shown = shownText(bytes);
    const std::vector<Piece> pieces = piecesOf(bytes);
    const std::size_t most = std::min(shown.size(), edited.size());
    std::size_t prefix = 0;
    while (prefix < most && shown[prefix] == edited[prefix]) ++prefix;
    const Piece& head = pieceAtOrBefore(pieces, prefix);
    std::size_t suffix = 0;
    while (suffix < most - head.units &&
           shown[shown.size() - 1 - suffix] == edited[edited.size() - 1 - suffix]) {
        ++suffix;
    }
    const Piece& tail = pieceAtOrAfter(pieces, shown.size() - suffix);
    const std::size_t tailUnits = shown.size() - tail.units;
    std::string out(bytes.substr(0, head.bytes));
    out += utf8Of(edited.substr(head.units, edited.size() - tailUnits - head.units));
    out += bytes.substr(tail.bytes);
    return out;
}

}  // namespace framework
