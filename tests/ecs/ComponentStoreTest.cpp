#include "ecs/ComponentStore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Timer {
    int frames = 20;
};
struct Label {
    std::string text;
};
struct Unregistered {};

TEST(CompArray, ReusesReleasedPositionsOldestFirstThenAppends) {
    CompArray<Timer> array;
    array.Insert(10);
    array.Insert(11);
    array.Insert(12);
    EXPECT_EQ(array.slotOf[10], 0u);
    EXPECT_EQ(array.slotOf[12], 2u);

    array.Remove(11);  // position 1
    array.Remove(10);  // position 0
    array.Insert(20);
    array.Insert(21);
    array.Insert(22);
    EXPECT_EQ(array.slotOf[20], 1u);
    EXPECT_EQ(array.slotOf[21], 0u);
    EXPECT_EQ(array.slotOf[22], 3u);
    EXPECT_EQ(array.records.size(), 4u);
}

TEST(CompArray, RemovedRecordReadsAsDefaultWhenReused) {
    CompArray<Timer> array;
    array.Insert(0);
    array.Get(0).frames = 3;
    array.Remove(0);
    EXPECT_EQ(array.records[0].frames, 20);
    array.Insert(1);
    EXPECT_EQ(array.Get(1).frames, 20);
}

TEST(CompArray, RecordKeepsItsAddressWhileOthersAreRemoved) {
    CompArray<Label> array;
    for (EntityId id = 0; id < 5; ++id) {
        array.Insert(id);
    }
    Label* kept = &array.Get(3);
    kept->text = "kept";
    array.Remove(0);
    array.Remove(4);
    array.Remove(2);
    EXPECT_EQ(&array.Get(3), kept);
    EXPECT_EQ(array.Get(3).text, "kept");
}

TEST(CompArray, RefusesMissingAndDuplicateRecords) {
    CompArray<Timer> array;
    EXPECT_THROW(array.Get(0), std::logic_error);
    EXPECT_THROW(array.Remove(5), std::logic_error);
    array.Insert(1);
    EXPECT_THROW(array.Insert(1), std::logic_error);
    array.Remove(1);
    // A second removal would put the position into freeSlots twice.
    EXPECT_THROW(array.Remove(1), std::logic_error);
    EXPECT_EQ(array.freeSlots.size(), 1u);
}

TEST(ComponentStore, TypeIndicesFollowRegistrationOrder) {
    ComponentStore store;
    store.RegisterComponent<Timer, Label>();
    EXPECT_EQ(store.TypeIndexOf<Timer>(), 0u);
    EXPECT_EQ(store.TypeIndexOf<Label>(), 1u);
    EXPECT_EQ(store.nextTypeIndex, 2);
    EXPECT_EQ(&store.ArrayAt(1), static_cast<ICompArray*>(&store.ArrayOf<Label>()));
}

TEST(ComponentStore, RefusesUnregisteredAndTwiceRegisteredTypes) {
    ComponentStore store;
    store.RegisterComponent<Timer>();
    EXPECT_THROW(store.TypeIndexOf<Unregistered>(), std::logic_error);
    EXPECT_THROW(store.ArrayOf<Unregistered>(), std::logic_error);
    EXPECT_THROW(store.RegisterComponent<Timer>(), std::logic_error);
    EXPECT_EQ(store.nextTypeIndex, 1);
}

}  // namespace
