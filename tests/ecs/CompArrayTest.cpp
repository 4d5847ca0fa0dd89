#include "ecs/CompArray.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

struct Timer {
    int frames = 20;
};

TEST(CompArray, RefusesMissingAndDuplicateRecordsAndReusesPlacesAsDefaults) {
    CompArray<Timer> array;
    EXPECT_THROW(array.Get(0), std::logic_error);
    EXPECT_THROW(array.Remove(5), std::logic_error);
    array.Insert(1);
    EXPECT_THROW(array.Insert(1), std::logic_error);
    array.Get(1).frames = 3;
    array.Remove(1);
    EXPECT_THROW(array.Remove(1), std::logic_error);
    // Released once, so two new records get two places, both defaults.
    array.Insert(2);
    array.Insert(3);
    EXPECT_NE(&array.Get(2), &array.Get(3));
    EXPECT_EQ(array.Get(2).frames + array.Get(3).frames, 40);
}

TEST(CompArray, KnowsWhetherEveryRecordSitsAtItsIdentifierAndWhichIdentifiersHoldOne) {
    CompArray<Timer> array;
    array.Insert(0);
    array.Insert(1);
    array.Insert(2);
    EXPECT_TRUE(array.SlotsFollowIds());
    EXPECT_EQ(array.HeldWord(0), 0b111u);
    array.Remove(1);
    array.Remove(0);
    EXPECT_EQ(array.HeldWord(0), 0b100u);
    // 0 takes 1's place, and 1 takes 0's.
    array.Insert(0);
    EXPECT_FALSE(array.SlotsFollowIds());
    array.Insert(1);
    EXPECT_FALSE(array.SlotsFollowIds());
    array.Remove(0);
    EXPECT_FALSE(array.SlotsFollowIds());
    array.Remove(1);
    EXPECT_TRUE(array.SlotsFollowIds());
    // Released and reused in the same order, as for a component every entity has.
    array.Insert(1);
    array.Insert(0);
    EXPECT_TRUE(array.SlotsFollowIds());
    array.Insert(70);
    EXPECT_FALSE(array.SlotsFollowIds());
    EXPECT_EQ(array.HeldWord(1), std::uint64_t{1} << 6);
    EXPECT_EQ(array.HeldWord(2), 0u);
    array.Remove(70);
    EXPECT_TRUE(array.SlotsFollowIds());
    EXPECT_EQ(array.HeldWord(1), 0u);
}

TEST(CompArray, WalksEveryRecordPageByPageHeldAndFree) {
    CompArray<Timer> array;
    const std::size_t count = PagedRecords<Timer>::kPageRecords + 3;
    for (std::size_t id = 0; id < count; ++id) {
        array.Insert(static_cast<EntityId>(id));
    }
    array.Remove(7);
    std::size_t seen = 0;
    int frames = 0;
    std::vector<std::size_t> pageSizes;
    array.ForEachRecordPage([&](Timer* first, std::size_t n) {
        pageSizes.push_back(n);
        for (std::size_t i = 0; i < n; ++i) {
            frames += first[i].frames;
        }
        seen += n;
    });
    EXPECT_EQ(pageSizes, (std::vector<std::size_t>{PagedRecords<Timer>::kPageRecords, 3}));
    EXPECT_EQ(seen, count);
    EXPECT_EQ(frames, static_cast<int>(count) * 20);
}

}  // namespace
