#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "game/GameplayHarness.h"
#include "game/MovementSystem.h"
#include "game/PhysicsSystem.h"

constexpr float kHeld = 7.0f * 0.99f;

constexpr auto Decayed = [](float rate) { return static_cast<float>(rate * 0.85); };

TEST(ShipControl, WithNoKeyTurnRateDecaysInDoubleBeforeTheLimitAndSpeedByDrag) {
    Gameplay g;
    // 5.5 decays to 4.675; limited to 5 first it would give 4.25.
    Transform m{.x = 960, .y = 540, .vx = 3.1f, .vy = -2.2f, .angularVelocity = 5.5f};
    g.ShipAt() = m;
    bool doubleMatters = false;
    for (int frame = 1; frame <= 40; ++frame) {
        doubleMatters = doubleMatters || Decayed(m.angularVelocity) != m.angularVelocity * 0.85f;
        m.angularVelocity = Decayed(m.angularVelocity);
        m.rotation += m.angularVelocity;
        m.vx *= 0.99f;
        m.vy *= 0.99f;
        g.Run<MovementSystem>();
        ASSERT_EQ(F(g.ShipAt()), F(m)) << frame;
    }
    EXPECT_TRUE(doubleMatters) << "the start values do not tell double from float decay";
}

TEST(ShipControl, OneTurnKeyReachesFiveAfterTenFramesAndStaysWhileBothStepThenDecay) {
    for (SDL_Scancode key :
         {SDL_SCANCODE_RIGHT, SDL_SCANCODE_D, SDL_SCANCODE_LEFT, SDL_SCANCODE_A}) {
        const float sign = key == SDL_SCANCODE_RIGHT || key == SDL_SCANCODE_D ? 1 : -1;
        Gameplay g;
        g.Press(key);
        for (int frame = 1; frame <= 100; ++frame) {
            g.Run<MovementSystem>();
            ASSERT_EQ(g.ShipAt().angularVelocity, sign * std::min(0.5f * frame, 5.0f)) << key;
        }
        // 0.5 + 1 + ... + 5, then 5 per frame; never wrapped.
        EXPECT_EQ(g.ShipAt().rotation, sign * (27.5f + 90 * 5.0f)) << key;
    }
    // 0.1 + 0.5 - 0.5 is not 0.1 in float, so skipping the steps shows.
    const float stepped = static_cast<float>(static_cast<float>(0.1f + 0.5) - 0.5);
    ASSERT_NE(stepped, 0.1f);
    for (auto [cw, acw] :
         {std::pair{SDL_SCANCODE_RIGHT, SDL_SCANCODE_A}, {SDL_SCANCODE_D, SDL_SCANCODE_LEFT}}) {
        Gameplay g;
        g.ShipAt().angularVelocity = 0.1f;
        g.Press(cw);
        g.Press(acw);
        g.Run<MovementSystem>();
        EXPECT_EQ(g.ShipAt().angularVelocity, Decayed(stepped));
    }
}

TEST(ShipControl, ThrustGrowsByAtMostPointTwoToSevenTimesDragFiringAt46_13AndPushesAreCut) {
    Gameplay g;
    g.Press(SDL_SCANCODE_UP);
    for (float speed = 0, frame = 1; frame <= 80; ++frame) {
        g.Run<MovementSystem>();
        const float previous = std::exchange(speed, std::hypot(g.ShipAt().vx, g.ShipAt().vy));
        ASSERT_LE(speed - previous, 0.2f + 1e-5f) << frame;
        ASSERT_LE(speed, kHeld + 1e-5f) << frame;
    }
    EXPECT_NEAR(g.ShipAt().vy, -kHeld, 1e-5f);  // heading 0 is up
    g.Press(SDL_SCANCODE_SPACE);
    g.Run<MovementSystem>();
    // 6.93 less 0.8 of recoil, plus 40 of its own.
    EXPECT_NEAR(g.Of("bullet").at(0).GetComponent<Transform>().vy, -46.13f, 1e-4f);
    // Pushes along (0.6, -0.8): beyond 7 they are cut to 7 before drag and physics.
    for (float push : {15.0f, 7.02f, 6.98f}) {
        Gameplay p;
        p.ShipAt() = {960, 540, 0.6f * push, -0.8f * push};
        p.Run<MovementSystem>();
        p.Run<PhysicsSystem>();
        const float held = std::min(push, 7.0f) * 0.99f;
        ExpectNear({p.ShipAt().x, p.ShipAt().y, p.ShipAt().vx, p.ShipAt().vy},
                   {960 + 0.6f * held, 540 - 0.8f * held, 0.6f * held, -0.8f * held}, 1e-4f);
    }
}

TEST(ShipControl, ThrustKeysAndTheirLooksReadyAndReloading) {
    struct Case {
        std::vector<SDL_Scancode> keys;
        int down;  // the sign of the thrust along y
        std::string ready;
    };
    const Case cases[] = {{{}, 0, "ship"},
                          {{SDL_SCANCODE_W}, -1, "ship_accel"},
                          {{SDL_SCANCODE_S}, 1, "ship_reverse"},
                          {{SDL_SCANCODE_UP, SDL_SCANCODE_DOWN}, 0, "ship_reverse"}};
    for (const Case& c : cases) {
        Gameplay g;
        std::ranges::for_each(c.keys, [&](SDL_Scancode key) { g.Press(key); });
        std::vector<std::string> looks;
        for (int reload : {0, 1, 0}) {  // a last reload frame is counted off in its update
            g.Gun().reloadFrames += reload;
            g.Run<MovementSystem>();
            looks.push_back(g.Sprite());
        }
        EXPECT_EQ((g.ShipAt().vy > 0) - (g.ShipAt().vy < 0), c.down) << c.ready;
        EXPECT_EQ(looks, (std::vector{c.ready, c.ready + "_reloading", c.ready}));
    }
}

TEST(ShipControl, AtEachWallTheShipIsOutForOneFrameThenStoppedAndPutBack) {
    for (Transform s : {Transform{1824, 500, 3, 1}, Transform{96, 500, -3, 1},
                        Transform{800, 96, 1, -3}, Transform{800, 984, 1, 3}}) {
        SCOPED_TRACE(s.x + s.y);
        Gameplay g;
        g.ShipAt() = s;
        g.Run<MovementSystem>();
        g.Run<PhysicsSystem>();
        const Transform out{s.x + s.vx * 0.99f, s.y + s.vy * 0.99f, s.vx * 0.99f, s.vy * 0.99f};
        EXPECT_EQ(F(g.ShipAt()), F(out));
        g.Run<MovementSystem>();
        // Back on the band, the velocity across it zeroed, the other component dragged.
        const bool x = std::abs(s.vx) > 1;
        EXPECT_EQ(F(g.ShipAt()), F({x ? s.x : out.x, x ? out.y : s.y, x ? 0 : out.vx * 0.99f,
                                    x ? out.vy * 0.99f : 0}));
    }
}

TEST(ShipControl, FiringNeedsAFreshPressAndSixtyOneFramesWithTheReloadLookBetween) {
    // Key down in frames 1..hold and again..last; the frame of a second shot, if any.
    const int cases[][4] = {{200, 0, 200, 0}, {1, 61, 62, 0}, {1, 62, 62, 62}, {1, 3, 150, 0}};
    for (const auto& [hold, again, last, second] : cases) {
        Gameplay g;
        std::string log;  // per frame: a shot, the reload look, or neither
        for (int f = 1; f <= last; ++f) {
            g.Press(SDL_SCANCODE_SPACE, f <= hold || (again > 0 && f >= again));
            const std::size_t bullets = g.Count("bullet");
            g.Run<MovementSystem>();
            log += g.Count("bullet") > bullets ? '*' : g.Sprite() == "ship_reloading" ? 'r' : '.';
        }
        EXPECT_EQ(log, "*" + std::string(60, 'r') + (second ? "*" : std::string(last - 61, '.')));
    }
}

TEST(ShipControl, AHitsReloadResetLetsAFreshPressFireInTheSameFrame) {
    Gameplay g;
    g.Gun().reloadFrames = 59;
    g.Rock(200, 200, kSmallVoidrock);  // too far from the ship to touch or push it
    g.Bullet(200, 200);
    g.Press(SDL_SCANCODE_SPACE);
    g.Frame();
    EXPECT_EQ(g.Score(), 1);
    EXPECT_EQ(g.Count("bullet"), 1u);
    EXPECT_EQ(g.Gun().reloadFrames, 60);
}
