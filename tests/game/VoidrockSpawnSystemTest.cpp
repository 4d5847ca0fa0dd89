#include "game/VoidrockSpawnSystem.h"

#include <cmath>
#include <set>

#include "support/Gameplay.h"

TEST(VoidrockSpawn, PhasesFollowTheTableEachEndingWithItsMessageAndEveryVoidrockIsValid) {
    // Interval and count per phase: the ceilings of 3/4 and 4/3 of the row above; 3 stays 3.
    const int kPhases[][2] = {{180, 20}, {135, 27}, {102, 36}, {77, 48},  {58, 64},  {44, 86},
                              {33, 115}, {25, 154}, {19, 206}, {15, 275}, {12, 367}, {9, 490},
                              {7, 654},  {6, 872},  {5, 1163}, {4, 1551}, {3, 2068}, {3, 1}};
    Gameplay g;
    for (int p = 1; p <= 18; ++p) {
        for (int i = 0; i < kPhases[p - 1][1]; ++i) {
            const std::size_t before = g.Count("voidrock");
            int updates = 0;
            for (; g.Count("voidrock") == before && updates <= 200; ++updates) {
                g.Run<VoidrockSpawnSystem>();
            }
            // Nothing in updates 1..180, the first in 181.
            ASSERT_EQ(updates, p == 1 && i == 0 ? 181 : kPhases[p - 1][0]) << p << " #" << i;
            ASSERT_EQ(g.Count("voidrock"), before + 1);
            const bool last = p < 18 && i == kPhases[p - 1][1] - 1;
            const std::vector<Entity> message = g.Texts("Phase " + std::to_string(p));
            ASSERT_EQ(message.size(), last ? 1u : 0u) << p;
            for (const Entity& m : message) {  // nothing counts messages down here
                EXPECT_EQ(TransformBits(m.GetComponent<Transform>()), TransformBits({850, 540}));
                EXPECT_EQ(m.GetComponent<InstructionsTimer>().frames, 240);
            }
        }
    }
    std::set<int> sizes;
    for (const Entity& v : g.Of("voidrock")) {
        const Transform& t = v.GetComponent<Transform>();
        ASSERT_EQ(std::pair(t.x, t.y), std::pair(-500.0f, -500.0f));
        ASSERT_TRUE(t.rotation >= 0 && t.rotation <= 359 && t.rotation == std::floor(t.rotation));
        for (float tenths : {t.vx * 10, t.vy * 10}) {  // -2.5, -2.4, ..., 2.4 but never 0
            ASSERT_TRUE(tenths >= -25.01f && tenths < 24.99f && std::abs(tenths) > 0.5f &&
                        std::abs(tenths - std::round(tenths)) < 1e-3f)
                << tenths;
        }
        const int size = v.GetComponent<Voidrock>().size;
        sizes.insert(size);
        ASSERT_EQ(v.GetComponent<SpriteRenderer>().sprite,
                  (std::array{"small", "med", "big"}[size]));
    }
    EXPECT_EQ(sizes, (std::set{0, 1, 2}));
}
