#include "game/VoidrockContainmentSystem.h"

#include <cmath>
#include <cstdint>
#include <ostream>

#include "support/Gameplay.h"

namespace {

using Containment = VoidrockContainmentSystem;

// What is left after one update; by default the ship and nothing else.
struct Outcome {
    std::size_t ships = 1, gameOvers = 0, bodies = 0, score = 0, explosions = 0;
    bool operator==(const Outcome&) const = default;
    friend std::ostream& operator<<(std::ostream& o, const Outcome& r) {
        return o << r.ships << " ships, " << r.gameOvers << " GAME OVER, " << r.bodies
                 << " bodies, score " << r.score << ", " << r.explosions << " explosions";
    }
};
Outcome After(Gameplay& g) {
    g.Run<Containment>();
    return {.ships = g.Count("ship"),
            .gameOvers = g.Texts("GAME OVER").size(),
            .bodies = g.Count("voidrock") + g.Count("bullet"),
            .score = std::size_t(g.Score()),
            .explosions = g.Count("explosion")};
}
// The ship destroyed by a voidrock that stays, with this much shot down beside it.
const auto ShipLost = [](std::size_t left, std::size_t hits = 0) {
    return Outcome{.ships = 0, .gameOvers = 1, .bodies = left, .score = hits, .explosions = hits};
};
// A voidrock of a size, or a bullet, placed for a case.
struct Body {
    float x = 0, y = 0;
    bool bullet = false;
    std::int32_t size = kBigVoidrock;
};
const auto Rock = [](float x, float y, std::int32_t size) { return Body{x, y, false, size}; };
const auto Shot = [](float x, float y) { return Body{x, y, true}; };

TEST(Containment, WrapsOnlyBeyondTheExactEdges) {
    struct Case {
        float x, y, wrappedX, wrappedY;
    };
    const Case cases[] = {
        {4000, 0, 4000, 0},     {4000.5f, 0, -1000, 0}, {-1000, 0, -1000, 0},
        {-1000.5f, 0, 4000, 0}, {0, 3000, 0, 3000},     {0, 3000.5f, 0, -1000},
        {0, -1000, 0, -1000},   {0, -1000.5f, 0, 3000}, {4000.5f, -1000.5f, -1000, 3000}};
    for (const Case& c : cases) {
        Gameplay g;
        const Entity v = g.Rock(c.x, c.y, kBigVoidrock);
        g.Run<Containment>();
        EXPECT_EQ(TransformBits(v.GetComponent<Transform>()),
                  TransformBits({c.wrappedX, c.wrappedY}))
            << c.x << "," << c.y;
    }
}

TEST(Containment, ContactsOfOneUpdate) {
    struct Case {
        std::vector<Body> bodies;
        Outcome outcome;
        float shipX = 960;
        float shipY = 540;
    };
    std::vector<Case> cases{
        {.bodies = {Rock(200, 100, 2), Shot(200, 100), Shot(210, 100)},
         .outcome = {.score = 2, .explosions = 2}},
        {.bodies = {Rock(200, 100, 2), Rock(220, 100, 0), Shot(210, 100)},
         .outcome = {.score = 2, .explosions = 2}},
        // Two voidrocks on the ship: a "GAME OVER" for each.
        {.bodies = {Rock(960, 540, 0), Rock(990, 540, 1)},
         .outcome = {.ships = 0, .gameOvers = 2, .bodies = 2}},
        // A hit as the ship dies.
        {.bodies = {Rock(1060, 540, 2), Shot(1060, 540)}, .outcome = ShipLost(0, 1)},
        // (81, 108) is 135 away.
        {.bodies = {Rock(1041, 648, 2)}, .outcome = ShipLost(1)},
        // (64, 120) is 136 away, though nearer along x.
        {.bodies = {Rock(1024, 660, 2)}, .outcome = Outcome{.bodies = 1}}};
    // One pixel inside the ship's and the bullet's radius of each size, or on them; sizes
    // other than 0, 1 and 2 count as small. The voidrock on the ship stays.
    struct Radii {
        std::int32_t size;
        float ship, bullet;
    };
    const Radii radii[] = {{2, 136, 114}, {1, 102, 80}, {0, 54, 32}, {5, 54, 32}, {-1, 54, 32}};
    for (const Radii& r : radii) {
        for (float in : {1.0f, 0.0f}) {
            cases.push_back({.bodies = {Rock(960 + r.ship - in, 540, r.size),
                                        Rock(200, 100, r.size), Shot(200, 100 + r.bullet - in)},
                             .outcome = in ? ShipLost(1, 1) : Outcome{.bodies = 3}});
        }
    }
    // Ship, voidrock and bullet on an edge of the contact area: nothing; one float inside: all.
    for (auto [x, y] :
         {std::pair{-150.0f, 500.0f}, {2050.0f, 500.0f}, {500.0f, -150.0f}, {500.0f, 1250.0f}}) {
        for (bool in : {false, true}) {
            const float px = in ? std::nextafter(x, 500.0f) : x,
                        py = in ? std::nextafter(y, 500.0f) : y;
            cases.push_back({.bodies = {Rock(px, py, 2), Shot(px, py)},
                             .outcome = in ? ShipLost(0, 1) : Outcome{.bodies = 2},
                             .shipX = px,
                             .shipY = py});
        }
    }
    for (const Case& c : cases) {
        Gameplay g;
        g.ShipAt() = {c.shipX, c.shipY};
        for (const Body& b : c.bodies) {
            b.bullet ? g.Bullet(b.x, b.y) : g.Rock(b.x, b.y, b.size);
        }
        EXPECT_EQ(After(g), c.outcome) << c.bodies[0].x << "," << c.bodies[0].y;
        for (const Entity& m : g.Texts("GAME OVER")) {
            EXPECT_EQ(TransformBits(m.GetComponent<Transform>()), TransformBits({800, 540}));
            EXPECT_EQ(m.GetComponent<InstructionsTimer>().frames, 1000);
        }
    }
}

TEST(Containment, AHitAnywhereReloadsAndPushesTheShipAwayWithinSixHundred) {
    // Bullet from the ship; the push, 0.2 * (500 / distance)^2 away from the bullet.
    struct Case {
        float dx, dy, pushX, pushY;
    };
    const Case cases[] = {{-100, 0, 5, 0},  {0, -500, 0, 0.2f},
                          {60, 80, -3, -4}, {-599, 0, 0.2f * (500 / 599.0f) * (500 / 599.0f), 0},
                          {-600, 0, 0, 0},  {360, -480, 0, 0},
                          {1040, 660, 0, 0}};
    for (const auto& [dx, dy, pushX, pushY] : cases) {
        Gameplay g;
        g.Gun().reloadFrames = 45;
        g.ShipAt().vx = 1;
        g.Rock(960 + dx, 540 + dy, kSmallVoidrock);  // too small to touch the ship
        g.Bullet(960 + dx, 540 + dy);
        ASSERT_EQ(After(g), (Outcome{.score = 1, .explosions = 1}));
        EXPECT_EQ(g.Gun().reloadFrames, 0);
        ExpectNear({g.ShipAt().vx, g.ShipAt().vy}, {1 + pushX, pushY}, 1e-4f);
    }
    // On the ship's centre: no direction to push in. Looked at before the ship is destroyed.
    Gameplay g;
    g.Rock(970, 540, kSmallVoidrock);
    g.Bullet(960, 540);
    g.Sys<Containment>().Update();
    EXPECT_EQ(TransformBits(g.ShipAt()), TransformBits({960, 540}));
}

}  // namespace
