#include "mltlang_fuzz_entries.h"

#include <cstdlib>
#include <exception>
#include <span>
#include <vector>

#include "mltlang/configuration.h"
#include "mltlang/dictionary.h"
#include "mltlang/mltlang1.h"

namespace mltlang_fuzz {

namespace {

using Bytes = std::vector<std::uint8_t>;

void require(bool condition) {
    if (!condition) std::abort();
}

template <class Write>
Bytes written(Write write) {
    mltlang::TMemoryStream stream;
    write(stream);
    return stream.Bytes();
}

// Reads with read, writes with write; a second read of what was written must write the same.
template <class Read, class Write>
void roundTrip(std::span<const std::uint8_t> input, Read read, Write write) {
    Bytes first;
    try {
        mltlang::TMemoryStream stream(input);
        auto object = read(stream);
        first = written([&](mltlang::TStream& s) { write(*object, s); });
    } catch (const std::exception&) {
        return;  // refused input: what counts is that refusing it was safe
    }
    mltlang::TMemoryStream again(first);
    auto object = read(again);
    require(again.Remaining() == 0);
    require(written([&](mltlang::TStream& s) { write(*object, s); }) == first);
}

void exerciseItems(mltlang::TInfoList& list) {
    for (int i = 0; i < list.Count(); ++i) {
        mltlang::TCI* item = list.Item(i);
        for (int language = -1; language < 10; ++language) {
            (void)item->GetStringList(language, 0);
            item->ApplyToComponent(language, language == 0);
        }
        item->SetLength(2);
    }
}

}  // namespace

int fuzzObjectStream(const std::uint8_t* data, std::size_t size) {
    mltlang::RegisterMltLangClasses();
    const std::span<const std::uint8_t> input(data, size);
    roundTrip(
        input,
        [](mltlang::TMemoryStream& s) {
            auto list = std::make_unique<mltlang::TInfoList>();
            list->ReadData(s);
            exerciseItems(*list);
            return list;
        },
        [](const mltlang::TInfoList& list, mltlang::TStream& s) { list.WriteData(s); });
    roundTrip(
        input, [](mltlang::TMemoryStream& s) { return mltlang::ReadObject(s); },
        [](const mltlang::TObject& object, mltlang::TStream& s) {
            mltlang::WriteObject(&object, s);
        });
    return 0;
}

int fuzzConfiguration(const std::uint8_t* data, std::size_t size) {
    mltlang::RegisterMltLangClasses();
    roundTrip(
        std::span<const std::uint8_t>(data, size),
        [](mltlang::TMemoryStream& s) {
            auto configuration = std::make_unique<mltlang::TConfiguration>("/fuzz/");
            configuration->LoadFromStream(s);  // never raises: damage gives the defaults
            require(configuration->Languages != nullptr);
            return configuration;
        },
        [](const mltlang::TConfiguration& c, mltlang::TStream& s) { c.SaveToStream(s); });
    return 0;
}

int fuzzDictionary(const std::uint8_t* data, std::size_t size) {
    mltlang::RegisterMltLangClasses();
    roundTrip(
        std::span<const std::uint8_t>(data, size),
        [](mltlang::TMemoryStream& s) {
            auto dictionary = std::make_unique<mltlang::TDictionary>();
            dictionary->ReadData(s);
            return dictionary;
        },
        [](const mltlang::TDictionary& d, mltlang::TStream& s) { d.WriteData(s); });
    return 0;
}

}  // namespace mltlang_fuzz
