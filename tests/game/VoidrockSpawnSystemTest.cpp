#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <vector>

#include "game/GameplayHarness.h"
#include "game/VoidrockSpawnSystem.h"

namespace {

class SpawnTest : public ::testing::Test {
  protected:
    VoidrockSpawnSystem& Spawner() { return game.SystemOf<VoidrockSpawnSystem>(); }

    // Runs spawn updates until a voidrock appears; the number of updates it took.
    int UpdatesUntilNextSpawn(int limit = 1000) {
        const std::size_t before = game.Count("voidrock");
        for (int updates = 1; updates <= limit; ++updates) {
            game.Run<VoidrockSpawnSystem>();
            if (game.Count("voidrock") != before) {
                return updates;
            }
        }
        return -1;
    }

    // Jumps to the last spawn of the current phase and runs it.
    void FinishPhase() {
        Spawner().framesSinceSpawn = Spawner().spawnInterval;
        Spawner().spawnedInPhase = Spawner().phaseLength - 1;
        game.Run<VoidrockSpawnSystem>();
    }

    Entity NewestVoidrock() { return game.Members("voidrock").back(); }

    Gameplay game;
};

// ---- Timing

TEST_F(SpawnTest, FirstInFrame181ThenOnePerIntervalAndAPhaseMessageWithTheTwentieth) {
    // Phase 1: 20 voidrocks 180 frames apart; phase 2: 27 at 135; phase 3: 102.
    std::vector<int> expected{181};
    for (int i = 2; i <= 20; ++i) {
        expected.push_back(expected.back() + 180);
    }
    for (int i = 21; i <= 47; ++i) {
        expected.push_back(expected.back() + 135);
    }
    expected.push_back(expected.back() + 102);
    const int phase1End = expected[19];
    const int phase2End = expected[46];
    ASSERT_EQ(phase1End, 181 + 19 * 180);

    std::vector<int> spawned;
    for (int frame = 1; frame <= expected.back(); ++frame) {
        const std::size_t before = game.Count("voidrock");
        game.Run<VoidrockSpawnSystem>();
        if (game.Count("voidrock") != before) {
            ASSERT_EQ(game.Count("voidrock"), before + 1) << "frame " << frame;
            spawned.push_back(frame);
        }
        const bool phase1Shown = !game.Messages("Phase 1").empty();
        ASSERT_EQ(phase1Shown, frame >= phase1End) << "frame " << frame;
        const bool phase2Shown = !game.Messages("Phase 2").empty();
        ASSERT_EQ(phase2Shown, frame >= phase2End) << "frame " << frame;
    }
    EXPECT_EQ(spawned, expected);

    const std::vector<Entity> phase1 = game.Messages("Phase 1");
    ASSERT_EQ(phase1.size(), 1u);
    const Transform& at = phase1.front().GetComponent<Transform>();
    EXPECT_EQ(at.x, 850.0f);
    EXPECT_EQ(at.y, 540.0f);
    // Nothing has counted it down: only the spawner ran.
    EXPECT_EQ(phase1.front().GetComponent<InstructionsTimer>().frames, 240);
    EXPECT_TRUE(phase1.front().GetComponent<TextRenderer>().visible);
}

TEST_F(SpawnTest, PhaseTableAndAnIntervalThatNeverDropsBelowThree) {
    // Each row is the ceiling of three quarters of the interval and four thirds of the count
    // of the row above, starting from 180 frames and 20 voidrocks.
    struct Pace {
        std::int32_t interval;
        std::int32_t count;
    };
    std::vector<Pace> table{{180, 20}, {135, 27}, {102, 36}, {77, 48},  {58, 64},  {44, 86},
                            {33, 115}, {25, 154}, {19, 206}, {15, 275}, {12, 367}, {9, 490},
                            {7, 654},  {6, 872},  {5, 1163}, {4, 1551}, {3, 2068}};
    while (table.size() < 40) {
        // From phase 17 on: ceil(3 * 3 / 4) is 3 again; counts keep growing by a third.
        table.push_back({3, (table.back().count * 4 + 2) / 3});
    }
    ASSERT_EQ(Spawner().spawnInterval, table[0].interval);
    ASSERT_EQ(Spawner().phaseLength, table[0].count);
    for (std::size_t phase = 1; phase < table.size(); ++phase) {
        ASSERT_EQ(Spawner().phase, static_cast<std::int32_t>(phase));
        FinishPhase();
        // The message names the phase just completed.
        ASSERT_EQ(game.Messages("Phase " + std::to_string(phase)).size(), 1u);
        const Pace& next = table[phase];
        ASSERT_EQ(Spawner().spawnInterval, next.interval) << "phase " << phase + 1;
        ASSERT_EQ(Spawner().phaseLength, next.count) << "phase " << phase + 1;
        ASSERT_EQ(Spawner().spawnedInPhase, 0);
        // The real counting: the next voidrock comes exactly one interval later.
        ASSERT_EQ(UpdatesUntilNextSpawn(), next.interval) << "phase " << phase + 1;
    }
}

// ---- Random draws

struct Draws {
    int r[6];
    int Velocity(int i) const { return r[i] % 50 - 25; }
};

// The first seed whose first six draws satisfy the condition.
unsigned SeedWhere(const std::function<bool(const Draws&)>& condition) {
    for (unsigned seed = 1; seed < 1000000; ++seed) {
        std::srand(seed);
        Draws d{};
        for (int& r : d.r) {
            r = std::rand();
        }
        if (condition(d)) {
            return seed;
        }
    }
    throw std::logic_error("no seed found");
}

Draws DrawsOf(unsigned seed) {
    std::srand(seed);
    Draws d{};
    for (int& r : d.r) {
        r = std::rand();
    }
    return d;
}

TEST_F(SpawnTest, DrawsGoVelocityXThenYThenSizeThenAngle) {
    const unsigned seed =
        SeedWhere([](const Draws& d) { return d.Velocity(0) != 0 && d.Velocity(1) != 0; });
    const Draws d = DrawsOf(seed);
    std::srand(seed);
    Spawner().framesSinceSpawn = Spawner().spawnInterval;
    game.Run<VoidrockSpawnSystem>();
    const Entity v = NewestVoidrock();
    const Transform& t = v.GetComponent<Transform>();
    EXPECT_EQ(t.vx, static_cast<float>(d.Velocity(0)) / 10.0f);
    EXPECT_EQ(t.vy, static_cast<float>(d.Velocity(1)) / 10.0f);
    EXPECT_EQ(v.GetComponent<Voidrock>().size, d.r[2] % 3);
    EXPECT_EQ(t.rotation, static_cast<float>(d.r[3] % 360));
}

TEST_F(SpawnTest, AZeroComponentRedrawsTheWholePair) {
    // A zero in x, then in y; each time the pair after it is used. The conditions also make
    // redrawing only the zero component give a different velocity.
    const auto xZero = [](const Draws& d) {
        return d.Velocity(0) == 0 && d.Velocity(1) != 0 && d.Velocity(2) != 0 &&
               d.Velocity(3) != 0 && d.Velocity(1) != d.Velocity(3);
    };
    const auto yZero = [](const Draws& d) {
        return d.Velocity(0) != 0 && d.Velocity(1) == 0 && d.Velocity(2) != 0 &&
               d.Velocity(3) != 0 && d.Velocity(0) != d.Velocity(2);
    };
    for (const auto& condition :
         {std::function<bool(const Draws&)>(xZero), std::function<bool(const Draws&)>(yZero)}) {
        Gameplay fresh;
        const unsigned seed = SeedWhere(condition);
        const Draws d = DrawsOf(seed);
        std::srand(seed);
        auto& spawner = fresh.SystemOf<VoidrockSpawnSystem>();
        spawner.framesSinceSpawn = spawner.spawnInterval;
        fresh.Run<VoidrockSpawnSystem>();
        const Entity v = fresh.Members("voidrock").back();
        const Transform& t = v.GetComponent<Transform>();
        EXPECT_EQ(t.vx, static_cast<float>(d.Velocity(2)) / 10.0f) << "seed " << seed;
        EXPECT_EQ(t.vy, static_cast<float>(d.Velocity(3)) / 10.0f) << "seed " << seed;
        EXPECT_EQ(v.GetComponent<Voidrock>().size, d.r[4] % 3) << "seed " << seed;
        EXPECT_EQ(t.rotation, static_cast<float>(d.r[5] % 360)) << "seed " << seed;
    }
}

TEST_F(SpawnTest, EveryVoidrockStartsAtTheSamePointWithAValidDrawAndSprite) {
    std::set<std::int32_t> sizes;
    std::set<int> velocities;
    for (int i = 0; i < 400; ++i) {
        Spawner().framesSinceSpawn = Spawner().spawnInterval;
        game.Run<VoidrockSpawnSystem>();
    }
    ASSERT_EQ(game.Count("voidrock"), 400u);
    for (const Entity& v : game.Members("voidrock")) {
        const Transform& t = v.GetComponent<Transform>();
        EXPECT_EQ(t.x, -500.0f);
        EXPECT_EQ(t.y, -500.0f);
        EXPECT_EQ(t.angularVelocity, 0.0f);
        EXPECT_GE(t.rotation, 0.0f);
        EXPECT_LE(t.rotation, 359.0f);
        EXPECT_EQ(t.rotation, std::floor(t.rotation));
        for (float component : {t.vx, t.vy}) {
            // Tenths from -2.5 to 2.4, never 0.
            const int tenths = static_cast<int>(std::lround(component * 10.0f));
            EXPECT_EQ(static_cast<float>(tenths) / 10.0f, component);
            EXPECT_GE(tenths, -25);
            EXPECT_LE(tenths, 24);
            EXPECT_NE(tenths, 0);
            velocities.insert(tenths);
        }
        const std::int32_t size = v.GetComponent<Voidrock>().size;
        sizes.insert(size);
        const char* sprite = size == 2 ? "big" : size == 1 ? "med" : "small";
        EXPECT_EQ(v.GetComponent<SpriteRenderer>().sprite, sprite);
    }
    EXPECT_EQ(sizes, (std::set<std::int32_t>{0, 1, 2}));
    // 800 draws reach both ends of the range.
    EXPECT_TRUE(velocities.contains(-25));
    EXPECT_TRUE(velocities.contains(24));
}

TEST_F(SpawnTest, OddSizesAreDrawnSmall) {
    auto* creator = game.scene->GetSceneSingleton<EntityCreator>();
    for (std::int32_t size : {5, -1, 3}) {
        creator->CreateVoidrock(1.0f, 2.0f, 0.5f, -0.5f, size);
        const Entity v = NewestVoidrock();
        EXPECT_EQ(v.GetComponent<SpriteRenderer>().sprite, "small") << size;
        EXPECT_EQ(v.GetComponent<Voidrock>().size, size);
    }
}

TEST_F(SpawnTest, SpawningGoesOnWithoutAShip) {
    game.world().DestroyEntity(game.Ship().id);
    EXPECT_EQ(UpdatesUntilNextSpawn(), 181);
}

}  // namespace
