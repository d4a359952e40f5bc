// The subsystem's streamable classes, registered once, in their fixed order.

#include <mutex>

#include "dictionary.h"
#include "mltlang1.h"

namespace mltlang {

namespace {

template <class T>
void loadPayload(TObject& object, TStream& stream) {
    static_cast<T&>(object).LoadFromStream(stream);
}

template <class T>
void storePayload(const TObject& object, TStream& stream) {
    static_cast<const T&>(object).SaveToStream(stream);
}

template <class T>
void readBody(TObject& object, TStream& stream) {
    static_cast<T&>(object).ReadData(stream);
}

template <class T>
void writeBody(const TObject& object, TStream& stream) {
    static_cast<const T&>(object).WriteData(stream);
}

template <class T>
void registerPayloadClass() {
    RegisterStreamClass<T>(&loadPayload<T>, &storePayload<T>);
}

template <class T>
void registerListClass() {
    RegisterStreamClass<T>(&readBody<T>, &writeBody<T>);
}

}  // namespace

void RegisterMltLangClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        registerPayloadClass<TLngId>();
        registerListClass<TLngLst>();
        registerPayloadClass<TCIStr>();
        registerPayloadClass<TCIStrList>();
        registerPayloadClass<TCIStPanels>();
        registerPayloadClass<TCIHdCtrl>();
        registerPayloadClass<TCIListClmns>();
        registerListClass<TInfoList>();
        registerPayloadClass<TDictionaryItem>();
        registerListClass<TDictionary>();
    });
}

}  // namespace mltlang
