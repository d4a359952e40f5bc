#pragma once
// Language identifiers: the subsystem's own numbering of 43 languages, the default order
// in which new language slots receive them, the one-field object TLngId and its list
// TLngLst. A language index is a position in such a list.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "tcontain.h"

namespace mltlang {

enum TLangid : std::uint8_t {
    lgNEUTRAL,
    lgBULGARIAN,
    lgCHINESE,
    lgCROATIAN,
    lgCZECH,
    lgDANISH,
    lgDUTCH,
    lgENGLISH,
    lgFINNISH,
    lgFRENCH,
    lgGERMAN,
    lgGREEK,
    lgHUNGARIAN,
    lgICELANDIC,
    lgITALIAN,
    lgJAPANESE,
    lgKOREAN,
    lgNORWEGIAN,
    lgPOLISH,
    lgPORTUGUESE,
    lgROMANIAN,
    lgRUSSIAN,
    lgSLOVAK,
    lgSLOVENIAN,
    lgSPANISH,
    lgSWEDISH,
    lgTURKISH,
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
};

constexpr int kLangidCount = 43;

// The identifiers as a page definition writes them, by ordinal.
inline constexpr std::array<std::string_view, kLangidCount> LangidNames = {
    "lgNEUTRAL",
    "lgBULGARIAN",
    "lgCHINESE",
    "lgCROATIAN",
    "lgCZECH",
    "lgDANISH",
    "lgDUTCH",
    "lgENGLISH",
    "lgFINNISH",
    "lgFRENCH",
    "lgGERMAN",
    "lgGREEK",
    "lgHUNGARIAN",
    "lgICELANDIC",
    "lgITALIAN",
    "lgJAPANESE",
    "lgKOREAN",
    "lgNORWEGIAN",
    "lgPOLISH",
    "lgPORTUGUESE",
    "lgROMANIAN",
    "lgRUSSIAN",
    "lgSLOVAK",
    "lgSLOVENIAN",
    "lgSPANISH",
    "lgSWEDISH",
    "lgTURKISH",
    "lgDUTCH_BELGIAN",
    "lgENGLISH_AMERICAN",
    "lgENGLISH_AUSTRALIAN",
    "lgENGLISH_CANADIAN",
    "lgENGLISH_NEW_ZEALAND",
    "lgENGLISH_IRELAND",
    "lgFRENCH_BELGIAN",
    "lgFRENCH_CANADIAN",
    "lgFRENCH_SWISS",
    "lgGERMAN_SWISS",
    "lgGERMAN_AUSTRIAN",
    "lgITALIAN_SWISS",
    "lgNORWEGIAN_NYNORSK",
    "lgPORTUGUESE_BRAZILIAN",
    "lgSPANISH_MEXICAN",
    "lgSPANISH_MODERN",
};
std::string_view LangidName(TLangid id);
// The identifier of that name (exact case), or nothing.
std::optional<TLangid> LangidFromName(std::string_view name);

// The language each slot position receives when a list is filled without a configuration.
extern const std::array<TLangid, kLangidCount> DefaultLangOrder;

class TLngId : public TObject {
public:
    static std::string_view StaticClassName() { return "TLngId"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    // The identifier as a 32-bit word, zero-extended from its byte.
    virtual void SaveToStream(TStream& stream) const;
    // Keeps the low byte of the word; one above lgSPANISH_MODERN raises EReadError.
    virtual void LoadFromStream(TStream& stream);

    TLangid Id = lgNEUTRAL;
};

// An owning list of TLngId; position i is language index i.
class TLngLst : public TObjectList {
public:
    static std::string_view StaticClassName() { return "TLngLst"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    // Raises the list's index error outside 0 to Count - 1.
    TLangid GetId(int index) const;
    // Position of the first entry with that identifier, appended when there is none.
    int AddId(TLangid id);
    // The entry at index, to relabel it; the list's index error outside the list.
    TLngId& Entry(int index) const;
    // Appends the 43 identifiers of DefaultLangOrder, in table order, to an empty list.
    static void FillDefault(TLngLst& list);

protected:
    void CheckEntry(const TObject& object) const override;
};

}  // namespace mltlang
