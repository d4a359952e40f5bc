#pragma once
// A dictionary: entries of texts, one text per slot of the dictionary's own language list.
// The setup program registers the classes but never opens a dictionary file.

#include <string>
#include <string_view>
#include <vector>

#include "mltlang0.h"

namespace mltlang {

class TDictionaryItem : public TObject {
public:
    static std::string_view StaticClassName() { return "TDictionaryItem"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    std::vector<std::string> Texts;  // text i: language index i of the dictionary

    // Version 100, the number of texts, the texts as counted strings.
    virtual void SaveToStream(TStream& stream) const;
    // Appends the texts read; a version other than 100 raises EMLangInvalid.
    virtual void LoadFromStream(TStream& stream);
};

// Entries (every one a TDictionaryItem) and the language list.
class TDictionary : public TObjectList {
public:
    static std::string_view StaticClassName() { return "TDictionary"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    TLngLst Languages;

    // The entries' body, then the languages' body; reading appends to both.
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) const override;

protected:
    void CheckEntry(const TObject& object) const override;
};

}  // namespace mltlang
