#include "mltlang0.h"

#include <algorithm>
#include <string>

namespace mltlang {

const std::array<TLangid, kLangidCount> DefaultLangOrder = {
    lgENGLISH,
    lgGERMAN,
    lgFRENCH,
    lgSPANISH,
    lgPORTUGUESE,
    lgITALIAN,
    lgJAPANESE,
    lgCHINESE,
    lgKOREAN,
    lgDUTCH,
    lgSWEDISH,
    lgDANISH,
    lgFINNISH,
    lgNORWEGIAN,
    lgICELANDIC,
    lgGREEK,
    lgTURKISH,
    lgRUSSIAN,
    lgPOLISH,
    lgCZECH,
    lgSLOVAK,
    lgHUNGARIAN,
    lgBULGARIAN,
    lgROMANIAN,
    lgCROATIAN,
    lgSLOVENIAN,
    lgDUTCH_BELGIAN,
    lgENGLISH_AMERICAN,
    lgENGLISH_AUSTRALIAN,
    lgENGLISH_CANADIAN,
    lgENGLISH_NEW_ZEALAND,
    lgENGLISH_IRELAND,
    lgFRENCH_BELGIAN,
    lgFRENCH_CANADIAN,
    lgFRENCH_SWISS,
    lgGERMAN_SWISS,
    lgGERMAN_AUSTRIAN,
    lgITALIAN_SWISS,
    lgNORWEGIAN_NYNORSK,
    lgPORTUGUESE_BRAZILIAN,
    lgSPANISH_MEXICAN,
    lgSPANISH_MODERN,
    lgNEUTRAL,
};

std::string_view LangidName(TLangid id) { return LangidNames.at(id); }

std::optional<TLangid> LangidFromName(std::string_view name) {
    const auto* const it = std::find(LangidNames.begin(), LangidNames.end(), name);
    if (it == LangidNames.end()) return std::nullopt;
    return static_cast<TLangid>(it - LangidNames.begin());
}

void TLngId::SaveToStream(TStream& stream) const { stream.WriteInt32(Id); }

void TLngId::LoadFromStream(TStream& stream) {
    const auto low = static_cast<std::uint8_t>(stream.ReadInt32() & 0xFF);
    // The stored word is read by its low byte; a byte beyond the enumeration names no
    // language and could not be written back as an identifier.
    if (low >= kLangidCount)
        throw EReadError("Language identifier " + std::to_string(low) + " unknown");
    Id = static_cast<TLangid>(low);
}

TLangid TLngLst::GetId(int index) const { return Entry(index).Id; }

TLngId& TLngLst::Entry(int index) const {
    auto* entry = dynamic_cast<TLngId*>(Get(index));
    if (entry == nullptr) Error();  // a slot left empty by SetCount
    return *entry;
}

int TLngLst::AddId(TLangid id) {
    for (int i = 0; i < Count(); ++i) {
        const auto* entry = dynamic_cast<const TLngId*>(Get(i));
        if (entry != nullptr && entry->Id == id) return i;
    }
    auto entry = std::make_unique<TLngId>();
    entry->Id = id;
    return AddNew(std::move(entry));
}

void TLngLst::FillDefault(TLngLst& list) {
    // As AddId for every entry of the table; the table names every identifier once, so no
    // entry is ever found and each is appended.
    for (TLangid id : DefaultLangOrder) {
        auto entry = std::make_unique<TLngId>();
        entry->Id = id;
        list.AddNew(std::move(entry));
    }
}

void TLngLst::CheckEntry(const TObject& object) const {
    if (dynamic_cast<const TLngId*>(&object) == nullptr) {
        throw EListError("tObject " + std::string(object.ClassName()) + " not allowed in TLngLst");
    }
}

}  // namespace mltlang
