#include "ecs/ComponentStore.h"

#include <gtest/gtest.h>

namespace {

struct Timer {
    int frames = 20;
};
struct Label {};
struct Unregistered {};

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
