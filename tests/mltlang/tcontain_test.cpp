// The class registry, objects in streams and TObjectList.

#include <gtest/gtest.h>

#include <functional>

#include "mltlang/mltlang0.h"
#include "mltlang/tcontain.h"
#include "stream_bytes.h"

namespace {

using namespace mltlang;
using mltlang_test::ByteBuilder;
using mltlang_test::Bytes;

// A streamable class of the tests' own, to count destructions.
class Probe : public TObject {
public:
    static inline int destroyed = 0;
    ~Probe() override { ++destroyed; }
    static std::string_view StaticClassName() { return "TProbe"; }
    std::string_view ClassName() const override { return StaticClassName(); }
    std::int32_t value = 0;
};

void loadProbe(TObject& o, TStream& s) { static_cast<Probe&>(o).value = s.ReadInt32(); }
void storeProbe(const TObject& o, TStream& s) { s.WriteInt32(static_cast<const Probe&>(o).value); }
void storeNothing(const TObject&, TStream&) {}

class Unregistered : public TObject {
public:
    std::string_view ClassName() const override { return "TNeverRegistered"; }
};

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStreamClass<Probe>(&loadProbe, &storeProbe);
        Probe::destroyed = 0;
    }
};

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

TEST_F(Registry, NamesAreCaseBlindAndALaterRegistrationReplacesTheRecord) {
    const std::size_t before = RegisteredClassCount();
    RegisterStreamClass(&loadProbe, &storeNothing, "tprobe",
                        [] { return std::unique_ptr<TObject>(std::make_unique<Probe>()); });
    EXPECT_EQ(RegisteredClassCount(), before);
    ASSERT_NE(FindRegisteredClass("TPROBE"), nullptr);
    EXPECT_EQ(FindRegisteredClass("TPROBE")->Store, &storeNothing);
    EXPECT_EQ(FindRegisteredClass("TCIStr"), FindRegisteredClass("tcistr"));
    EXPECT_EQ(FindRegisteredClass("TNoSuchClass"), nullptr);
}

TEST_F(Registry, LookupUsesTheFirst63Characters) {
    const std::string longName = std::string(63, 'L');
    RegisterStreamClass(&loadProbe, &storeProbe, longName + "tail",
                        [] { return std::unique_ptr<TObject>(std::make_unique<Probe>()); });
    EXPECT_NE(FindRegisteredClass(longName), nullptr);
    EXPECT_NE(FindRegisteredClass(longName + "other tail"), nullptr);
}

TEST_F(Registry, WriteObjectWritesTheLengthByteTheNameAndThePayload) {
    Probe probe;
    probe.value = 0x01020304;
    const Bytes bytes = mltlang_test::written([&](TStream& s) { WriteObject(&probe, s); });
    EXPECT_EQ(bytes, Bytes(ByteBuilder().className("TProbe").hex("04 03 02 01")));
}

TEST_F(Registry, ReadObjectCreatesTheNamedClassAndCloneCopiesThroughTheStream) {
    TMemoryStream stream(ByteBuilder().className("tPROBE").word(77).build());
    std::unique_ptr<TObject> read = ReadObject(stream);
    ASSERT_NE(dynamic_cast<Probe*>(read.get()), nullptr);
    EXPECT_EQ(static_cast<Probe&>(*read).value, 77);
    std::unique_ptr<TObject> clone = CloneObject(read.get());
    EXPECT_NE(clone.get(), read.get());
    EXPECT_EQ(static_cast<Probe&>(*clone).value, 77);
}

TEST_F(Registry, FailuresCarryTheirMessages) {
    Unregistered unregistered;
    TMemoryStream sink;
    EXPECT_EQ(errorOf([&] { WriteObject(nullptr, sink); }), "Nil Source Class!");
    EXPECT_EQ(errorOf([&] { CloneObject(nullptr); }), "Nil Source Class!");
    EXPECT_EQ(errorOf([&] { WriteObject(&unregistered, sink); }),
              "Source Class <TNeverRegistered> not registered");
    TMemoryStream unknown(ByteBuilder().className("TGhost").word(1).build());
    EXPECT_EQ(errorOf([&] { ReadObject(unknown); }), "Class <TGhost> not registered");
    EXPECT_THROW(WriteObject(nullptr, sink), EClassNotFound);
}

TEST_F(Registry, AClassNameLongerThan63CharactersInAStreamIsARefusedRead) {
    TMemoryStream stream(ByteBuilder().hex("40").text(std::string(64, 'A')).build());
    EXPECT_THROW(ReadObject(stream), EReadError);
}

TEST_F(Registry, TruncatedNamesRaiseTheStreamsReadError) {
    for (const Bytes& bytes : {Bytes{}, Bytes{6}, Bytes(ByteBuilder().hex("06").text("TPro"))}) {
        TMemoryStream stream(bytes);
        EXPECT_THROW(ReadObject(stream), EReadError);
    }
}

// TObjectList

class ObjectList : public Registry {
protected:
    static std::unique_ptr<TObjectList> listOf(int n) {
        auto list = std::make_unique<TObjectList>();
        for (int i = 0; i < n; ++i) {
            auto* probe = new Probe;
            probe->value = i;
            list->Add(probe);
        }
        return list;
    }
    static int valueAt(const TObjectList& list, int i) {
        return static_cast<Probe*>(list.Get(i))->value;
    }
};

TEST_F(ObjectList, GrowsByFourEightAndSixteen) {
    TObjectList list;
    list.OwnsObjects = 0;
    std::vector<int> capacities;
    Probe probe;
    for (int i = 0; i < 49; ++i) {
        if (list.Count() == list.Capacity()) capacities.push_back(list.Capacity());
        list.Add(&probe);
    }
    EXPECT_EQ(capacities, (std::vector<int>{0, 4, 8, 16, 32, 48}));
    EXPECT_EQ(list.Capacity(), 64);
}

TEST_F(ObjectList, CapacityStopsBelow16384) {
    TObjectList list;
    EXPECT_NO_THROW(list.SetCapacity(16383));
    EXPECT_THROW(list.SetCapacity(16384), EListError);
    EXPECT_THROW(list.SetCount(16384), EListError);
    EXPECT_THROW(list.SetCount(-1), EListError);
    TObjectList grown;
    grown.OwnsObjects = 0;
    grown.SetCapacity(16376);
    grown.SetCount(16376);
    EXPECT_THROW(grown.Add(nullptr), EListError);  // 16376 + 16 passes the limit
    EXPECT_EQ(grown.Count(), 16376);
}

TEST_F(ObjectList, IndexOperationsOutsideTheListRaiseTheIndexError) {
    auto list = listOf(2);
    const std::vector<std::function<void()>> bad = {
        [&] { list->Get(2); },
        [&] { list->Get(-1); },
        [&] { list->Put(2, nullptr); },
        [&] { list->Delete(2); },
        [&] { list->Insert(3, nullptr); },
        [&] { list->SetCapacity(1); },
        [&] { TObjectList().First(); },
        [&] { TObjectList().Last(); },
        [&] { TObjectList().Neighbour(nullptr, true); },
    };
    for (const auto& action : bad) EXPECT_EQ(errorOf(action), "tObjectList Index Eror!");
}

TEST_F(ObjectList, InsertShiftsUpAndInsertAtCountAppends) {
    auto list = listOf(3);
    auto* front = new Probe;
    front->value = 10;
    list->Insert(0, front);
    auto* back = new Probe;
    back->value = 11;
    list->Insert(list->Count(), back);
    std::vector<int> values;
    values.reserve(list->Count());
    for (int i = 0; i < list->Count(); ++i) values.push_back(valueAt(*list, i));
    EXPECT_EQ(values, (std::vector<int>{10, 0, 1, 2, 11}));
}

TEST_F(ObjectList, DeletePutClearAndPackNeverFree) {
    auto list = listOf(4);
    std::vector<std::unique_ptr<TObject>> entries;  // freed by the test, not the list
    entries.reserve(4);
    for (int i = 0; i < 4; ++i) entries.emplace_back(list->Get(i));
    Probe replacement;
    list->Delete(1);
    EXPECT_EQ(list->Put(0, &replacement), 0);
    list->Put(1, nullptr);
    list->Pack();
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Get(0), &replacement);
    EXPECT_EQ(list->Get(1), entries[3].get());
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->Capacity(), 0);
    list.reset();
    EXPECT_EQ(Probe::destroyed, 0);
}

TEST_F(ObjectList, FreeAllAndDestructionFreeOnlyWhenOwning) {
    auto owning = listOf(3);
    owning->FreeAll();
    EXPECT_EQ(Probe::destroyed, 3);
    EXPECT_EQ(owning->Count(), 0);
    Probe::destroyed = 0;
    {
        Probe a, b;
        TObjectList notOwning;
        notOwning.OwnsObjects = 0;
        notOwning.Add(&a);
        notOwning.Add(&b);
        notOwning.FreeAll();
        notOwning.Add(&a);
    }
    EXPECT_EQ(Probe::destroyed, 2);  // only the stack objects themselves
}

TEST_F(ObjectList, SetCountFillsNewSlotsWithNil) {
    auto list = listOf(1);
    list->SetCount(3);
    EXPECT_EQ(list->Get(1), nullptr);
    EXPECT_EQ(list->Get(2), nullptr);
    EXPECT_GE(list->Capacity(), 3);
}

TEST_F(ObjectList, NeighbourWalksBothWaysAndNamesAStranger) {
    auto list = listOf(3);
    EXPECT_EQ(list->Neighbour(nullptr, true), list->Get(0));
    EXPECT_EQ(list->Neighbour(nullptr, false), list->Get(2));
    EXPECT_EQ(list->Neighbour(list->Get(1), true), list->Get(2));
    EXPECT_EQ(list->Neighbour(list->Get(1), false), list->Get(0));
    EXPECT_EQ(list->Neighbour(list->Get(2), true), nullptr);
    EXPECT_EQ(list->Neighbour(list->Get(0), false), nullptr);
    Probe stranger;
    EXPECT_EQ(errorOf([&] { list->Neighbour(&stranger, true); }),
              "tObject TProbe not in item list");
    EXPECT_EQ(list->IndexOf(&stranger), -1);
}

TEST_F(ObjectList, BodyIsOwnsByteCountAndObjects) {
    TObjectList empty;
    EXPECT_EQ(mltlang_test::written([&](TStream& s) { empty.WriteData(s); }), Bytes({1, 0, 0}));
    EXPECT_FALSE(empty.HasObjectContainer());
    auto list = listOf(2);
    const Bytes expected =
        ByteBuilder().hex("01 02 00").className("TProbe").word(0).className("TProbe").word(1);
    EXPECT_EQ(list->ObjectContainer(), expected);
    EXPECT_TRUE(list->HasObjectContainer());
}

TEST_F(ObjectList, ReadingAppendsAfterTheEntriesPresent) {
    auto list = listOf(2);
    TMemoryStream stream(ByteBuilder()
                             .hex("01 02 00")
                             .className("TProbe")
                             .word(7)
                             .className("TProbe")
                             .word(8)
                             .build());
    list->ReadData(stream);
    std::vector<int> values;
    values.reserve(list->Count());
    for (int i = 0; i < list->Count(); ++i) values.push_back(valueAt(*list, i));
    EXPECT_EQ(values, (std::vector<int>{0, 1, 7, 8}));
}

TEST_F(ObjectList, OwnsByteZeroIsKeptForWritingButWhatWasReadIsReleased) {
    Probe callers;
    {
        TObjectList list;
        TMemoryStream stream(ByteBuilder()
                                 .hex("00 02 00")
                                 .className("TProbe")
                                 .word(7)
                                 .className("TProbe")
                                 .word(8)
                                 .build());
        list.ReadData(stream);
        EXPECT_EQ(list.OwnsObjects, 0);
        list.Add(&callers);
        EXPECT_EQ(list.ObjectContainer()[0], 0);
    }
    EXPECT_EQ(Probe::destroyed, 2);  // the two read, not the caller's
}

// What Delete, Put, Clear or SetCount took out of a list read with owns byte 0 is the
// taker's: the list frees only what it still holds, each entry once.
TEST_F(ObjectList, EntriesTakenOutOfAReadListAreTheTakersAndFreedOnce) {
    const struct {
        const char* how;
        std::function<void(TObjectList&)> takeOut;  // takes the entries 0 and 1 out
    } rows[] = {
        {"Delete",
         [](TObjectList& l) {
             l.Delete(1);
             l.Delete(0);
         }},
        {"Put",
         [](TObjectList& l) {
             l.Put(0, nullptr);
             l.Put(1, nullptr);
         }},
        {"Clear", [](TObjectList& l) { l.Clear(); }},
        {"SetCount", [](TObjectList& l) { l.SetCount(0); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        Probe::destroyed = 0;
        std::vector<std::unique_ptr<TObject>> taken;
        {
            TObjectList list;
            TMemoryStream stream(ByteBuilder()
                                     .hex("00 03 00")
                                     .className("TProbe")
                                     .word(7)
                                     .className("TProbe")
                                     .word(8)
                                     .className("TProbe")
                                     .word(9)
                                     .build());
            list.ReadData(stream);
            taken.emplace_back(list.Get(0));
            taken.emplace_back(list.Get(1));
            TObject* kept = list.Get(2);
            row.takeOut(list);
            if (list.IndexOf(kept) < 0) taken.emplace_back(kept);  // Clear and SetCount take all
            EXPECT_EQ(Probe::destroyed, 0);
        }
        const int freedByTheList = Probe::destroyed;
        EXPECT_EQ(freedByTheList, 3 - static_cast<int>(taken.size()));
        taken.clear();
        EXPECT_EQ(Probe::destroyed, 3);
    }
}

TEST_F(ObjectList, ABodyCountBeyondTheCapacityLimitOrNegativeIsRefused) {
    for (const char* count : {"00 40", "FF 7F", "FF FF"}) {
        TObjectList list;
        TMemoryStream stream(ByteBuilder().hex("01").hex(count).build());
        EXPECT_THROW(list.ReadData(stream), EListError) << count;
        EXPECT_EQ(list.Count(), 0);
    }
}

TEST_F(ObjectList, AContainerWithBytesAfterItsBodyIsRefused) {
    TObjectList list;
    EXPECT_THROW(list.SetObjectContainer(Bytes{1, 0, 0, 9}), EReadError);
    EXPECT_NO_THROW(list.SetObjectContainer(Bytes{1, 0, 0}));
}

TEST_F(ObjectList, ObjectsNestedDeeperThanAnyFormatAreRefused) {
    // Lists of lists: each level a TLngLst holding the next; TLngLst refuses them anyway,
    // but only after reading them, so the depth limit must come first.
    ByteBuilder deep;
    for (int i = 0; i < 100000; ++i) deep.className("TLngLst").hex("01 01 00");
    TMemoryStream stream(deep.build());
    EXPECT_THROW(ReadObject(stream), EReadError);
}

}  // namespace
