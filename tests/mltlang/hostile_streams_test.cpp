// Truncated, oversized and damaged streams end in the stream's read error or the
// subsystem's exceptions, and the kept fuzz corpora still read safely.

#include <gtest/gtest.h>

#include "fuzz/mltlang/mltlang_fuzz_entries.h"
#include "fuzz_corpus.h"
#include "mltlang/configuration.h"
#include "mltlang/dictionary.h"
#include "stream_bytes.h"

namespace {

using namespace mltlang;
using mltlang_test::ByteBuilder;
using mltlang_test::Bytes;

Bytes container() {
    ByteBuilder b;
    b.hex("01 02 00");
    b.className("TCIStr").word(100).word(0).counted("Caption").counted("isForm1").word(-1).word(1);
    b.word(100).word(3).counted("Welcome").counted("").counted("Welkom");
    b.className("TCIStrList")
        .word(100)
        .word(0)
        .counted("Items")
        .counted("ListBox1")
        .word(3)
        .word(2);
    b.word(100).word(2).word(2).counted("a").counted("b").word(1).counted("c");
    b.hex("01 02 00").className("TLngId").word(7).className("TLngId").word(10);
    return b;
}

bool refusedCleanly(const std::function<void()>& read) {
    try {
        read();
    } catch (const EReadError&) {
        return true;
    } catch (const EListError&) {
        return true;
    } catch (const EClassNotFound&) {
        return true;
    } catch (const EMLangInvalid&) {
        return true;
    }
    return false;
}

TEST(HostileStreams, EveryTruncationOfAContainerIsRefused) {
    const Bytes whole = container();
    {
        TInfoList list;
        ASSERT_NO_THROW(list.SetObjectContainer(whole));
        ASSERT_EQ(list.Count(), 2);
    }
    for (std::size_t length = 0; length < whole.size(); ++length) {
        TInfoList list;
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_TRUE(refusedCleanly([&] { list.SetObjectContainer(cut); })) << length;
    }
}

TEST(HostileStreams, EveryByteOfAContainerSpoiledReadsSafely) {
    const Bytes whole = container();
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (std::uint8_t value : {0x00, 0x40, 0x7F, 0xFF}) {
            Bytes spoiled = whole;
            spoiled[at] = value;
            TInfoList list;
            try {
                list.SetObjectContainer(spoiled);
            } catch (const std::exception&) {
            }
        }
    }
}

TEST(HostileStreams, HugeCountsEndAtTheEndOfTheStream) {
    ByteBuilder texts;
    texts.className("TCIStr").word(100).word(0).counted("").counted("").word(0).word(1);
    texts.word(100).word(0x7FFFFFFF).counted("only one");
    TMemoryStream a(texts.build());
    EXPECT_THROW(ReadObject(a), EReadError);

    ByteBuilder lists;
    lists.className("TCIStrList").word(100).word(0).counted("").counted("").word(0).word(0);
    lists.word(100).word(0x7FFFFFFF).word(0).word(0);
    TMemoryStream b(lists.build());
    EXPECT_THROW(ReadObject(b), EReadError);

    ByteBuilder entry;
    entry.className("TDictionaryItem").word(100).word(0x40000000).counted("x");
    TMemoryStream c(entry.build());
    EXPECT_THROW(ReadObject(c), EReadError);
}

TEST(HostileStreams, ADictionaryAndAConfigurationCutAnywhereAreSafe) {
    ByteBuilder body;
    body.hex("01 01 00").className("TDictionaryItem").word(100).word(1).counted("Cancel");
    body.hex("01 01 00").className("TLngId").word(7);
    const Bytes whole = body;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        TDictionary dictionary;
        TMemoryStream stream(std::span(whole.data(), length));
        EXPECT_TRUE(refusedCleanly([&] { dictionary.ReadData(stream); })) << length;
    }
    const TConfiguration defaults("/x/");
    const Bytes file = mltlang_test::written([&](TStream& s) { defaults.SaveToStream(s); });
    for (std::size_t length = 0; length < file.size(); length += 7) {
        TConfiguration configuration("/x/");
        TMemoryStream stream(std::span(file.data(), length));
        EXPECT_NO_THROW(configuration.LoadFromStream(stream));
        EXPECT_EQ(configuration.Languages->Count(), 43);
    }
}

// Every input kept in the corpora (seeds from the real pages and every input that ever
// failed) goes through the fuzz targets' own entry functions.
struct Corpus {
    const char* target;
    int (*entry)(const std::uint8_t*, std::size_t);
};

void PrintTo(const Corpus& value, std::ostream* out) { *out << value.target; }

class FuzzCorpus : public ::testing::TestWithParam<Corpus> {};

TEST_P(FuzzCorpus, ReplaysSafely) {
    const int replayed = testing_support::replayCorpus(GetParam().target, GetParam().entry);
    EXPECT_GT(replayed, 0) << "no corpus for " << GetParam().target;
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FuzzCorpus,
    ::testing::Values(Corpus{"mltlang_object_stream", &mltlang_fuzz::fuzzObjectStream},
                      Corpus{"mltlang_configuration", &mltlang_fuzz::fuzzConfiguration},
                      Corpus{"mltlang_dictionary", &mltlang_fuzz::fuzzDictionary}),
    [](const auto& info) { return std::string(info.param.target); });

}  // namespace
