#include "mltlang1.h"

#include <algorithm>
#include <limits>

namespace mltlang {

namespace {

void requireVersion(TStream& stream) {
    if (stream.ReadInt32() != kStreamVersion) throw EMLangInvalid("Version not supported !");
}

// Language indexes are positions in a language list, which holds at most one slot per
// identifier; an index outside would make the item grow without bound.
void requireLanguage(int language) {
    if (language < 0 || language >= kLangidCount) {
        throw EMLangInvalid("Language index " + std::to_string(language) + " out of range !");
    }
}

void writeTexts(TStream& stream, const std::vector<std::string>& texts) {
    stream.WriteInt32(static_cast<std::int32_t>(texts.size()));
    for (const std::string& text : texts) WriteCountedString(stream, text);
}

// A count of n texts, each read as it comes, so a hostile count ends at the stream's end.
std::vector<std::string> readTexts(TStream& stream) {
    const std::int32_t n = stream.ReadInt32();
    std::vector<std::string> texts;
    // The count comes from the stream: reserving it would let a hostile count allocate.
    // NOLINTNEXTLINE(performance-inefficient-vector-operation)
    for (std::int32_t i = 0; i < n; ++i) texts.push_back(ReadCountedString(stream));
    return texts;
}

bool writesEmptyTexts(int language, bool designing) { return designing && language == 0; }

}  // namespace

void WriteCountedString(TStream& stream, std::string_view text) {
    if (text.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw EWriteError("String too long for a counted string");
    }
    stream.WriteInt32(static_cast<std::int32_t>(text.size() + 1));
    if (text.empty()) return;
    stream.WriteBuffer(text.data(), text.size());
    stream.WriteByte(0);
}

std::string ReadCountedString(TStream& stream) {
    const std::int32_t n = stream.ReadInt32();
    if (n < 2) return {};
    if (static_cast<std::uint64_t>(n) > stream.Remaining()) throw EReadError();
    std::string bytes(static_cast<std::size_t>(n), '\0');
    stream.ReadBuffer(bytes.data(), bytes.size());
    bytes.resize(std::min(bytes.find('\0'), bytes.size()));
    return bytes;
}

// TCI: the header and the operations a class does not support.

void TCI::SaveToStream(TStream& stream) const {
    stream.WriteInt32(kStreamVersion);
    stream.WriteInt32(static_cast<std::int32_t>(translationTargets().Handle(Component)));
    WriteCountedString(stream, PropName);
    WriteCountedString(stream, CompName);
    stream.WriteInt32(CompIndex);
    stream.WriteInt32(EntryCount);
}

void TCI::LoadFromStream(TStream& stream) {
    requireVersion(stream);
    Component = translationTargets().FromHandle(static_cast<std::uint32_t>(stream.ReadInt32()));
    PropName = ReadCountedString(stream);
    CompName = ReadCountedString(stream);
    CompIndex = stream.ReadInt32();
    EntryCount = stream.ReadInt32();
}

void TCI::SetLength(int) { throw EMLangInvalid("SetLength not available for TCI !"); }

std::string TCI::GetValue(int) const {
    throw EMLangInvalid("GetValue not available for Stringlist !");
}

void TCI::SetValue(const std::string&, int) {
    throw EMLangInvalid("SetValue not available for Stringlist !");
}

std::string TCI::GetStringList(int, int) const {
    throw EMLangInvalid("GetStringList not available for Info !");
}

void TCI::SetStringList(const std::string&, int, int) {
    throw EMLangInvalid("SetStringList not available for Info !");
}

// TCIStr

void TCIStr::SaveToStream(TStream& stream) const {
    TCI::SaveToStream(stream);
    stream.WriteInt32(kStreamVersion);
    writeTexts(stream, Texts);
}

void TCIStr::LoadFromStream(TStream& stream) {
    TCI::LoadFromStream(stream);
    requireVersion(stream);
    for (std::string& text : readTexts(stream)) Texts.push_back(std::move(text));
}

void TCIStr::SetLength(int n) {
    while (!Texts.empty() && static_cast<int>(Texts.size()) > n) Texts.pop_back();
}

std::string TCIStr::GetValue(int language) const {
    if (language < 0 || language >= static_cast<int>(Texts.size())) return {};
    return Texts[static_cast<std::size_t>(language)];
}

void TCIStr::SetValue(const std::string& text, int language) {
    requireLanguage(language);
    while (static_cast<int>(Texts.size()) <= language) Texts.emplace_back();
    const bool sameAsBase = language != 0 && text == GetValue(0);
    Texts[static_cast<std::size_t>(language)] = sameAsBase ? std::string() : text;
}

std::string TCIStr::GetStringList(int language, int) const { return GetValue(language); }

void TCIStr::SetStringList(const std::string& text, int language, int) { SetValue(text, language); }

void TCIStr::ApplyToComponent(int language, bool designing) {
    const std::string text = GetValue(language);
    if (!writesEmptyTexts(language, designing) && text.empty()) return;
    try {
        translationTargets().SetStringProperty(Component, PropName, text);
    } catch (...) {
        // A translation that cannot be shown leaves the text as it was.
    }
}

void TCIStr::ReadFromComponent(int language) {
    SetValue(translationTargets().GetStringProperty(Component, PropName), language);
}

// TCIStrList and its descendants

void TCIStrList::SaveToStream(TStream& stream) const {
    TCI::SaveToStream(stream);
    stream.WriteInt32(kStreamVersion);
    stream.WriteInt32(static_cast<std::int32_t>(Lists.size()));
    for (const auto& lines : Lists) writeTexts(stream, lines);
}

void TCIStrList::LoadFromStream(TStream& stream) {
    TCI::LoadFromStream(stream);
    requireVersion(stream);
    const std::int32_t languages = stream.ReadInt32();
    for (std::int32_t i = 0; i < languages; ++i) Lists.push_back(readTexts(stream));
}

void TCIStrList::SetLength(int n) {
    while (!Lists.empty() && static_cast<int>(Lists.size()) > n) Lists.pop_back();
}

std::string TCIStrList::GetStringList(int language, int index) const {
    if (language < 0 || language >= static_cast<int>(Lists.size())) return {};
    const auto& lines = Lists[static_cast<std::size_t>(language)];
    if (index < 0 || index >= static_cast<int>(lines.size())) return {};
    return lines[static_cast<std::size_t>(index)];
}

void TCIStrList::SetStringList(const std::string& text, int language, int index) {
    requireLanguage(language);
    if (index < 0)
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    while (static_cast<int>(Lists.size()) <= language) Lists.emplace_back();
    auto& lines = Lists[static_cast<std::size_t>(language)];
    while (static_cast<int>(lines.size()) <= index) lines.emplace_back();
    std::string value = text;
    if (language != 0) {
        const auto& base = Lists.front();
        if (static_cast<int>(base.size()) <= index) {
            throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
        }
        if (text == base[static_cast<std::size_t>(index)]) value.clear();
    }
    lines[static_cast<std::size_t>(index)] = std::move(value);
    for (const auto& list : Lists)
        EntryCount = std::max(EntryCount, static_cast<std::int32_t>(list.size()));
}

void TCIStrList::ApplyToComponent(int language, bool designing) {
    std::unique_ptr<TranslatableStrings> target = Target();
    if (!target) return;
    const bool writeEmpty = writesEmptyTexts(language, designing);
    const int last = writeEmpty ? EntryCount : std::min(EntryCount, storedLines(language));
    for (int index = 0; index < last; ++index) {
        const std::string text = GetStringList(language, index);
        if (writeEmpty || !text.empty()) target->Put(index, text);
    }
}

int TCIStrList::storedLines(int language) const {
    if (language < 0 || language >= static_cast<int>(Lists.size())) return 0;
    return static_cast<int>(Lists[static_cast<std::size_t>(language)].size());
}

void TCIStrList::ReadFromComponent(int language) {
    std::unique_ptr<TranslatableStrings> target = Target();
    if (!target) return;
    for (int j = 0; j < target->Count(); ++j) SetStringList(target->Get(j), language, j);
}

std::unique_ptr<TranslatableStrings> TCIStrList::Target() {
    return translationTargets().GetObjectProperty(Component, PropName);
}

std::unique_ptr<TranslatableStrings> TCIStPanels::Target() {
    return translationTargets().Collection(Component, TextCollection::StatusPanels);
}

std::unique_ptr<TranslatableStrings> TCIHdCtrl::Target() {
    return translationTargets().Collection(Component, TextCollection::HeaderSections);
}

std::unique_ptr<TranslatableStrings> TCIListClmns::Target() {
    return translationTargets().Collection(Component, TextCollection::ListColumns);
}

// TInfoList

void TInfoList::Assign(const TInfoList& source) {
    if (&source == this) return;
    FreeAll();
    for (int i = 0; i < source.Count(); ++i) AddNew(CloneObject(source.Get(i)));
    Languages.FreeAll();
    for (int i = 0; i < source.Languages.Count(); ++i) {
        Languages.AddNew(CloneObject(source.Languages.Get(i)));
    }
}

void TInfoList::ReadData(TStream& stream) {
    TObjectList::ReadData(stream);
    Languages.FreeAll();
    Languages.ReadData(stream);
}

void TInfoList::WriteData(TStream& stream) const {
    TObjectList::WriteData(stream);
    Languages.WriteData(stream);
}

void TInfoList::CheckEntry(const TObject& object) const {
    if (dynamic_cast<const TCI*>(&object) == nullptr) {
        throw EListError("tObject " + std::string(object.ClassName()) +
                         " not allowed in TInfoList");
    }
}

}  // namespace mltlang
