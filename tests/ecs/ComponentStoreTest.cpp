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

TEST(CompArray, AReusedPositionReadsAsADefaultRecord) {
    CompArray<Timer> array;
    array.Insert(0);
    array.Get(0).frames = 3;
    array.Remove(0);
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
    EXPECT_THROW(array.Remove(1), std::logic_error);
    // Released once, so two new records get two places.
    array.Insert(2);
    array.Insert(3);
    EXPECT_NE(&array.Get(2), &array.Get(3));
}

TEST(ComponentStore, TypeIndicesFollowRegistrationAndUnknownTypesAreRefused) {
    ComponentStore store;
    store.RegisterComponent<Timer, Label>();
    EXPECT_EQ(store.TypeIndexOf<Timer>(), 0u);
    EXPECT_EQ(store.TypeIndexOf<Label>(), 1u);
    EXPECT_EQ(&store.ArrayAt(1), static_cast<ICompArray*>(&store.ArrayOf<Label>()));
    EXPECT_THROW(store.TypeIndexOf<Unregistered>(), std::logic_error);
    EXPECT_THROW(store.RegisterComponent<Timer>(), std::logic_error);
}

}  // namespace
