#pragma once
// Expected bytes spelled out in tests: hex runs, 32-bit words, counted strings.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mltlang/mltlang1.h"

namespace mltlang_test {

using Bytes = std::vector<std::uint8_t>;

// The subsystem's classes are registered before any test runs.
inline const bool kClassesRegistered = (mltlang::RegisterMltLangClasses(), true);

class ByteBuilder {
public:
    // Hexadecimal byte pairs separated by blanks: "01 09 00".
    ByteBuilder& hex(std::string_view pairs) {
        for (std::size_t i = 0; i < pairs.size();) {
            if (pairs[i] == ' ') {
                ++i;
                continue;
            }
            const std::string pair(pairs.substr(i, 2));
            m_bytes.push_back(static_cast<std::uint8_t>(std::stoi(pair, nullptr, 16)));
            i += 2;
        }
        return *this;
    }
    ByteBuilder& text(std::string_view characters) {
        m_bytes.insert(m_bytes.end(), characters.begin(), characters.end());
        return *this;
    }
    ByteBuilder& word(std::int32_t value) {
        const auto u = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<std::uint8_t>(u >> shift));
        return *this;
    }
    // A counted string: length + 1, then the characters and a NUL when not empty.
    ByteBuilder& counted(std::string_view characters) {
        word(static_cast<std::int32_t>(characters.size() + 1));
        if (!characters.empty()) text(characters).hex("00");
        return *this;
    }
    // A class name as the registry writes it.
    ByteBuilder& className(std::string_view name) {
        m_bytes.push_back(static_cast<std::uint8_t>(name.size()));
        return text(name);
    }
    ByteBuilder& bytes(const Bytes& more) {
        m_bytes.insert(m_bytes.end(), more.begin(), more.end());
        return *this;
    }
    Bytes build() const { return m_bytes; }
    operator Bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

template <class Writer>
Bytes written(Writer write) {
    mltlang::TMemoryStream stream;
    write(stream);
    return stream.Bytes();
}

}  // namespace mltlang_test
