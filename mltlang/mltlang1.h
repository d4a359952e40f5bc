#pragma once
// Translation items: each binds one translatable property of one component to its texts in
// every language slot. TCIStr translates a string property, TCIStrList the lines of a
// string list, and its three descendants the texts of status-bar panels, header sections
// and list-view columns. A page keeps its items, and its language list, in a TInfoList.
// Language 0 is the base language: an empty text in another language stands for the
// language-0 text.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "mltlang0.h"
#include "translation_targets.h"

namespace mltlang {

// The subsystem's exception: unsupported operations, versions other than 100.
class EMLangInvalid : public base::Exception {
public:
    using Exception::Exception;
};

// The index error of an item's own string lists.
class EStringListError : public base::Exception {
public:
    using Exception::Exception;
};

constexpr std::int32_t kStreamVersion = 100;

// Counted string: a 32-bit length (characters + 1), then, when that exceeds 1, the
// characters and a NUL. Reading takes the characters up to the first NUL; a length beyond
// the bytes left in the stream raises EReadError before anything is allocated.
void WriteCountedString(TStream& stream, std::string_view text);
std::string ReadCountedString(TStream& stream);

class TCI : public TObject {
public:
    TCI() = default;

    framework::Component* Component = nullptr;
    std::string PropName;
    std::string CompName;
    std::int32_t CompIndex = 0;   // position in the owner's components; -1 for the form
    std::int32_t EntryCount = 0;  // texts per language

    // The header: version, component handle, PropName, CompName, CompIndex, EntryCount.
    virtual void SaveToStream(TStream& stream) const;
    virtual void LoadFromStream(TStream& stream);
    virtual void SetLength(int n);
    virtual std::string GetValue(int language) const;
    virtual void SetValue(const std::string& text, int language);
    virtual std::string GetStringList(int language, int index) const;
    virtual void SetStringList(const std::string& text, int language, int index);
    // Writes the language's texts into the component. Designing in language 0 writes empty
    // texts too; otherwise an empty text leaves the component's text as it is.
    virtual void ApplyToComponent(int language, bool designing) = 0;
    // Captures the component's current texts into the language.
    virtual void ReadFromComponent(int language) = 0;
};

class TCIStr : public TCI {
public:
    TCIStr() { EntryCount = 1; }
    static std::string_view StaticClassName() { return "TCIStr"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    std::vector<std::string> Texts;  // entry i: the text of language i

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    void SetLength(int n) override;
    std::string GetValue(int language) const override;
    // Stores an empty entry in a language other than 0 when text equals the language-0 text.
    void SetValue(const std::string& text, int language) override;
    std::string GetStringList(int language, int index) const override;
    void SetStringList(const std::string& text, int language, int index) override;
    void ApplyToComponent(int language, bool designing) override;
    void ReadFromComponent(int language) override;
};

class TCIStrList : public TCI {
public:
    static std::string_view StaticClassName() { return "TCIStrList"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    std::vector<std::vector<std::string>> Lists;  // list i: the lines of language i

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    void SetLength(int n) override;
    std::string GetStringList(int language, int index) const override;
    // Line index of a language other than 0 is stored empty when it equals language 0's
    // line, which must exist (EStringListError). EntryCount grows, never shrinks.
    void SetStringList(const std::string& text, int language, int index) override;
    void ApplyToComponent(int language, bool designing) override;
    void ReadFromComponent(int language) override;

protected:
    // The component's texts this item translates; nullptr when it has none.
    virtual std::unique_ptr<TranslatableStrings> Target();

private:
    // Lines stored for the language; beyond them every text is empty, so applying at run
    // time stops there instead of walking a stored EntryCount.
    int storedLines(int language) const;
};

class TCIStPanels : public TCIStrList {
public:
    static std::string_view StaticClassName() { return "TCIStPanels"; }
    std::string_view ClassName() const override { return StaticClassName(); }

protected:
    std::unique_ptr<TranslatableStrings> Target() override;
};

class TCIHdCtrl : public TCIStrList {
public:
    static std::string_view StaticClassName() { return "TCIHdCtrl"; }
    std::string_view ClassName() const override { return StaticClassName(); }

protected:
    std::unique_ptr<TranslatableStrings> Target() override;
};

class TCIListClmns : public TCIStrList {
public:
    static std::string_view StaticClassName() { return "TCIListClmns"; }
    std::string_view ClassName() const override { return StaticClassName(); }

protected:
    std::unique_ptr<TranslatableStrings> Target() override;
};

// A page's translation items (every entry a TCI) and its language list.
class TInfoList : public TObjectList {
public:
    static std::string_view StaticClassName() { return "TInfoList"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    TLngLst Languages;

    // The item at index, or nullptr for an empty slot; the list's index error outside it.
    TCI* Item(int index) const { return dynamic_cast<TCI*>(Get(index)); }
    // Replaces items and languages by clones of the source's; clones keep the components.
    void Assign(const TInfoList& source);
    // The items' body (appended), then the languages' body, which replaces the languages.
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) const override;

protected:
    void CheckEntry(const TObject& object) const override;
};

// Registers the subsystem's streamable classes, in their fixed order, once.
void RegisterMltLangClasses();

}  // namespace mltlang
