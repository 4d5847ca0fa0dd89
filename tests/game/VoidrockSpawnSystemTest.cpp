#include <array>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

#include "game/GameplayHarness.h"
#include "game/VoidrockSpawnSystem.h"

namespace {

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
            ASSERT_EQ(g.Texts("Phase " + std::to_string(p)).size(), last ? 1u : 0u) << p;
        }
    }
    for (int p = 1; p <= 17; ++p) {  // nothing has counted the messages down
        const Entity m = g.Texts("Phase " + std::to_string(p)).at(0);
        EXPECT_EQ(F(m.GetComponent<Transform>()), F({850, 540}));
        EXPECT_EQ(m.GetComponent<InstructionsTimer>().frames, 240);
    }
    std::set<int> sizes;  // velocities: the exact draws below
    for (const Entity& v : g.Of("voidrock")) {
        const Transform& t = v.GetComponent<Transform>();
        ASSERT_EQ(std::pair(t.x, t.y), std::pair(-500.0f, -500.0f));
        ASSERT_TRUE(t.rotation >= 0 && t.rotation <= 359 && t.rotation == std::floor(t.rotation));
        const int size = v.GetComponent<Voidrock>().size;
        sizes.insert(size);
        ASSERT_EQ(v.GetComponent<SpriteRenderer>().sprite,
                  (std::array{"small", "med", "big"}[size]));
    }
    EXPECT_EQ(sizes, (std::set{0, 1, 2}));
}

using Draws = std::array<int, 6>;
Draws DrawsAfter(unsigned seed) {
    std::srand(seed);
    Draws d;
    std::ranges::generate(d, std::rand);
    return d;
}
constexpr auto V = [](int r) { return r % 50 - 25; };  // a velocity component in tenths

TEST(VoidrockSpawn, DrawsVelocityPairSizeAngleAndRedrawsAPairWithAZero) {
    // zero: which component of the first pair is 0 (-1: none); the pair after must also differ
    // from redrawing only that component.
    for (int zero : {-1, 0, 1}) {
        const auto fits = [zero](const Draws& d) {
            return zero < 0 ? V(d[0]) != 0 && V(d[1]) != 0
                            : V(d[zero]) == 0 && V(d[1 - zero]) != 0 && V(d[2]) != 0 &&
                                  V(d[3]) != 0 && V(d[1 - zero]) != V(d[3 - zero]);
        };
        unsigned seed = 1;
        while (!fits(DrawsAfter(seed))) {
            ++seed;
        }
        const Draws d = DrawsAfter(seed);
        const int o = zero < 0 ? 0 : 2;  // the pair used
        Gameplay g;
        g.Sys<VoidrockSpawnSystem>().framesSinceSpawn = 180;
        std::srand(seed);
        g.Run<VoidrockSpawnSystem>();
        const Entity v = g.Of("voidrock").at(0);
        const Transform& t = v.GetComponent<Transform>();
        EXPECT_EQ((std::array{t.vx, t.vy, t.rotation}),
                  (std::array{V(d[o]) / 10.0f, V(d[o + 1]) / 10.0f, d[o + 3] % 360 * 1.0f}))
            << zero;
        EXPECT_EQ(v.GetComponent<Voidrock>().size, d[o + 2] % 3) << zero;
    }
}

}  // namespace
