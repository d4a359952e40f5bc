#include "dictionary.h"

#include "mltlang1.h"

namespace mltlang {

void TDictionaryItem::SaveToStream(TStream& stream) const {
    stream.WriteInt32(kStreamVersion);
    stream.WriteInt32(static_cast<std::int32_t>(Texts.size()));
    for (const std::string& text : Texts) WriteCountedString(stream, text);
}

void TDictionaryItem::LoadFromStream(TStream& stream) {
    if (stream.ReadInt32() != kStreamVersion) throw EMLangInvalid("Version not supported !");
    const std::int32_t n = stream.ReadInt32();
    for (std::int32_t i = 0; i < n; ++i) Texts.push_back(ReadCountedString(stream));
}

void TDictionary::ReadData(TStream& stream) {
    TObjectList::ReadData(stream);
    Languages.ReadData(stream);
}

void TDictionary::WriteData(TStream& stream) const {
    TObjectList::WriteData(stream);
    Languages.WriteData(stream);
}

void TDictionary::CheckEntry(const TObject& object) const {
    if (dynamic_cast<const TDictionaryItem*>(&object) == nullptr) {
        throw EListError("tObject " + std::string(object.ClassName()) +
                         " not allowed in TDictionary");
    }
}

}  // namespace mltlang
