#include "game/MovementSystem.h"

#include <cmath>
#include <tuple>

#include "game/PhysicsSystem.h"
#include "support/Gameplay.h"

TEST(ShipControl, EachTurnKeyStepsToFiveInTenFramesAndBothKeysDecay) {
    for (auto [key, sign] : {std::pair{SDL_SCANCODE_RIGHT, 1.0f},
                             {SDL_SCANCODE_D, 1.0f},
                             {SDL_SCANCODE_LEFT, -1.0f},
                             {SDL_SCANCODE_A, -1.0f}}) {
        SCOPED_TRACE(SDL_GetScancodeName(key));
        Gameplay g;
        g.Press(key);
        for (int frame = 1; frame <= 12; ++frame) {
            g.Run<MovementSystem>();
            ASSERT_FLOAT_EQ(g.ShipAt().angularVelocity, sign * std::min(0.5f * frame, 5.0f))
                << frame;
        }
        EXPECT_FLOAT_EQ(g.ShipAt().rotation, sign * (27.5f + 2 * 5.0f));  // 0.5 + 1 + ... + 5, 5, 5
        g.Press(sign > 0 ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT);
        g.Run<MovementSystem>();
        EXPECT_FLOAT_EQ(g.ShipAt().angularVelocity, sign * 5.0f * 0.85f);
    }
}

TEST(ShipControl, ThrustFollowsTheHeadingBeforeTheTurnUpToSevenTimesDrag) {
    Gameplay g;
    g.ShipAt().rotation = 90;  // right
    g.Press(SDL_SCANCODE_UP);
    g.Press(SDL_SCANCODE_RIGHT);
    g.Run<MovementSystem>();
    EXPECT_FLOAT_EQ(g.ShipAt().vx, 0.2f * 0.99f);
    EXPECT_NEAR(g.ShipAt().vy, 0, 1e-6f);
    g.Press(SDL_SCANCODE_RIGHT, false);
    for (int frame = 2; frame <= 80; ++frame) {
        g.Run<MovementSystem>();
    }
    EXPECT_NEAR(std::hypot(g.ShipAt().vx, g.ShipAt().vy), 7 * 0.99f, 1e-5f);
    // A push beyond seven is cut to seven before drag.
    Gameplay p;
    p.ShipAt() = {960, 540, 9, -12};
    p.Run<MovementSystem>();
    ExpectNear({p.ShipAt().vx, p.ShipAt().vy}, {0.6f * 7 * 0.99f, -0.8f * 7 * 0.99f}, 1e-5f);
}

TEST(ShipControl, ThrustKeysAndTheirLooksReadyAndReloading) {
    // Keys held, the sign of the thrust along y, the look when ready.
    const std::tuple<std::vector<SDL_Scancode>, int, std::string> cases[] = {
        {{}, 0, "ship"},
        {{SDL_SCANCODE_W}, -1, "ship_accel"},
        {{SDL_SCANCODE_S}, 1, "ship_reverse"},
        {{SDL_SCANCODE_UP, SDL_SCANCODE_DOWN}, 0, "ship_reverse"}};
    for (const auto& [keys, down, ready] : cases) {
        Gameplay g;
        std::ranges::for_each(keys, [&](SDL_Scancode key) { g.Press(key); });
        std::vector<std::string> looks;
        for (int reload : {0, 1, 0}) {  // a last reload frame is counted off in its update
            g.Gun().reloadFrames += reload;
            g.Run<MovementSystem>();
            looks.push_back(g.Sprite());
        }
        EXPECT_EQ((g.ShipAt().vy > 0) - (g.ShipAt().vy < 0), down) << ready;
        EXPECT_EQ(looks, (std::vector{ready, ready + "_reloading", ready}));
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
        EXPECT_EQ(TransformBits(g.ShipAt()), TransformBits(out));
        g.Run<MovementSystem>();
        // Back on the band, the velocity across it zeroed, the other component dragged.
        const bool x = std::abs(s.vx) > 1;
        EXPECT_EQ(TransformBits(g.ShipAt()),
                  TransformBits({x ? s.x : out.x, x ? out.y : s.y, x ? 0 : out.vx * 0.99f,
                                 x ? out.vy * 0.99f : 0}));
    }
}

TEST(ShipControl, FiringNeedsAFreshPressAndSixtyOneFramesWithTheReloadLookBetween) {
    // Key down in frames 1..hold and again..last (again 0: never); whether a second shot comes.
    struct Case {
        int hold, again, last;
        bool second;
    };
    const Case cases[] = {{.hold = 200, .again = 0, .last = 200, .second = false},
                          {.hold = 1, .again = 61, .last = 62, .second = false},
                          {.hold = 1, .again = 62, .last = 62, .second = true},
                          {.hold = 1, .again = 3, .last = 150, .second = false}};
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

TEST(ShipControl, AShotRecoilsTheShipAndLeavesAlongTheHeadingAfterThisFramesTurn) {
    // Heading 0 is up and 90 right; a bullet's rotation is its heading minus 90.
    const std::pair<float, SDL_Scancode> shots[] = {{0, SDL_SCANCODE_UNKNOWN},
                                                    {89.5f, SDL_SCANCODE_RIGHT}};
    const std::vector<float> want[] = {{0, 0.8f, 0, -39.2f, -90}, {-0.8f, 0, 39.2f, 0, 0}};
    for (int i = 0; i < 2; ++i) {
        Gameplay g;
        g.ShipAt().rotation = shots[i].first;
        g.Press(shots[i].second);
        g.Press(SDL_SCANCODE_SPACE);
        g.Run<MovementSystem>();
        const Entity bullet = g.Of("bullet").at(0);
        const Transform& b = bullet.GetComponent<Transform>();
        ExpectNear({g.ShipAt().vx, g.ShipAt().vy, b.vx, b.vy, b.rotation}, want[i], 1e-4f);
        EXPECT_EQ(std::pair(b.x, b.y), std::pair(960.0f, 540.0f));
    }
}
