#pragma once
// The defaults for components newly placed in the designer, kept in mltlang.cfg next to
// the program: the languages new slots receive, the number of languages and the default
// dictionary. The running setup program neither reads nor writes it.
//
//   4 bytes          version 100
//   3 + 11 x n       the language list body (owns byte, 16-bit count, TLngId entries)
//   4 bytes          DefaultMaxLang
//   4 bytes          Reserved
//   counted string   DefaultDictionary

#include <cstdint>
#include <memory>
#include <string>

#include "mltlang0.h"

namespace mltlang {

class TConfiguration {
public:
    static constexpr const char* kFileName = "mltlang.cfg";

    // The defaults: the 43 languages of DefaultLangOrder, 2 languages, exeDir + "default.dct".
    explicit TConfiguration(const std::string& exeDir);
    // The defaults, then LoadFromFile; a file that cannot be opened raises EFOpenError.
    TConfiguration(const std::string& exeDir, const std::string& fileName);

    std::unique_ptr<TLngLst> Languages;
    std::int32_t DefaultMaxLang = 2;
    std::int32_t Reserved = 0;
    std::string DefaultDictionary;

    // Failure to open propagates. A wrong version or a damaged body is read as far as it
    // goes: the fields read before the fault keep their values and the language list
    // becomes the default one; nothing is reported.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream& stream);
    // Creates (or empties) the file and writes the format; errors propagate.
    void SaveToFile(const std::string& fileName) const;
    void SaveToStream(TStream& stream) const;
};

}  // namespace mltlang
