#include "ecs/CompArray.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

}  // namespace
