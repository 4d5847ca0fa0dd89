#include "game/VoidrockContainmentSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <vector>

#include "support/Gameplay.h"

namespace {

using Containment = VoidrockContainmentSystem;

// What is left after one update.
struct Outcome {
    std::size_t ships = 0;
    std::size_t gameOverTexts = 0;
    std::size_t voidrocksAndBullets = 0;
    std::int32_t score = 0;
    std::size_t explosions = 0;
    bool operator==(const Outcome&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Outcome& o) {
        return out << "ships " << o.ships << ", GAME OVER " << o.gameOverTexts
                   << ", voidrocks and bullets " << o.voidrocksAndBullets << ", score " << o.score
                   << ", explosions " << o.explosions;
    }
};

Outcome After(Gameplay& g) {
    g.Run<Containment>();
    return {.ships = g.Count("ship"),
            .gameOverTexts = g.Texts("GAME OVER").size(),
            .voidrocksAndBullets = g.Count("voidrock") + g.Count("bullet"),
            .score = g.Score(),
            .explosions = g.Count("explosion")};
}

// A voidrock of a size, or a bullet, placed for a case.
struct Body {
    float x = 0;
    float y = 0;
    bool bullet = false;
    std::int32_t size = kBigVoidrock;
};
Body Rock(float x, float y, std::int32_t size) {
    return {.x = x, .y = y, .size = size};
}
Body Shot(float x, float y) {
    return {.x = x, .y = y, .bullet = true};
}

// Nothing happened: the ship, every body and no score.
Outcome Untouched(std::size_t bodies) {
    return {.ships = 1, .voidrocksAndBullets = bodies};
}
// The ship destroyed by a voidrock that stays, with this much shot down beside it.
Outcome ShipLost(std::size_t bodiesLeft, std::int32_t hits = 0) {
    return {.gameOverTexts = 1,
            .voidrocksAndBullets = bodiesLeft,
            .score = hits,
            .explosions = std::size_t(hits)};
}
// The ship flies on; this many voidrocks were shot down, taking their bullets.
Outcome Hits(std::int32_t hits, std::size_t bodiesLeft = 0) {
    return {.ships = 1,
            .voidrocksAndBullets = bodiesLeft,
            .score = hits,
            .explosions = std::size_t(hits)};
}

TEST(Containment, WrapsOnlyBeyondTheExactEdges) {
    struct Case {
        float x, y, wrappedX, wrappedY;
    };
    const Case cases[] = {{.x = 4000, .y = 0, .wrappedX = 4000, .wrappedY = 0},
                          {.x = 4000.5f, .y = 0, .wrappedX = -1000, .wrappedY = 0},
                          {.x = -1000, .y = 0, .wrappedX = -1000, .wrappedY = 0},
                          {.x = -1000.5f, .y = 0, .wrappedX = 4000, .wrappedY = 0},
                          {.x = 0, .y = 3000, .wrappedX = 0, .wrappedY = 3000},
                          {.x = 0, .y = 3000.5f, .wrappedX = 0, .wrappedY = -1000},
                          {.x = 0, .y = -1000, .wrappedX = 0, .wrappedY = -1000},
                          {.x = 0, .y = -1000.5f, .wrappedX = 0, .wrappedY = 3000},
                          {.x = 4000.5f, .y = -1000.5f, .wrappedX = -1000, .wrappedY = 3000}};
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
        {.bodies = {Rock(200, 100, 2), Shot(200, 100), Shot(210, 100)}, .outcome = Hits(2)},
        {.bodies = {Rock(200, 100, 2), Rock(220, 100, 0), Shot(210, 100)}, .outcome = Hits(2)},
        // Two voidrocks on the ship: a "GAME OVER" for each.
        {.bodies = {Rock(960, 540, 0), Rock(990, 540, 1)},
         .outcome = {.gameOverTexts = 2, .voidrocksAndBullets = 2}},
        // A hit as the ship dies.
        {.bodies = {Rock(1060, 540, 2), Shot(1060, 540)}, .outcome = ShipLost(0, 1)},
        // (81, 108) is 135 away.
        {.bodies = {Rock(1041, 648, 2)}, .outcome = ShipLost(1)},
        // (64, 120) is 136 away, though nearer along x.
        {.bodies = {Rock(1024, 660, 2)}, .outcome = Untouched(1)}};
    // One pixel inside the ship's and the bullet's radius of each size, or on them; sizes
    // other than 0, 1 and 2 count as small. The voidrock on the ship stays.
    struct Radii {
        std::int32_t size;
        float ship, bullet;
    };
    const Radii radii[] = {{.size = 2, .ship = 136, .bullet = 114},
                           {.size = 1, .ship = 102, .bullet = 80},
                           {.size = 0, .ship = 54, .bullet = 32},
                           {.size = 5, .ship = 54, .bullet = 32},
                           {.size = -1, .ship = 54, .bullet = 32}};
    for (const Radii& r : radii) {
        for (float in : {1.0f, 0.0f}) {
            cases.push_back({.bodies = {Rock(960 + r.ship - in, 540, r.size),
                                        Rock(200, 100, r.size), Shot(200, 100 + r.bullet - in)},
                             .outcome = in ? ShipLost(1, 1) : Untouched(3)});
        }
    }
    // Ship, voidrock and bullet on an edge of the contact area: nothing; one float inside: all.
    for (auto [x, y] :
         {std::pair{-150.0f, 500.0f}, {2050.0f, 500.0f}, {500.0f, -150.0f}, {500.0f, 1250.0f}}) {
        for (bool in : {false, true}) {
            const float px = in ? std::nextafter(x, 500.0f) : x,
                        py = in ? std::nextafter(y, 500.0f) : y;
            cases.push_back({.bodies = {Rock(px, py, 2), Shot(px, py)},
                             .outcome = in ? ShipLost(0, 1) : Untouched(2),
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
    const Case cases[] = {
        {.dx = -100, .dy = 0, .pushX = 5, .pushY = 0},
        {.dx = 0, .dy = -500, .pushX = 0, .pushY = 0.2f},
        {.dx = 60, .dy = 80, .pushX = -3, .pushY = -4},
        {.dx = -599, .dy = 0, .pushX = 0.2f * (500 / 599.0f) * (500 / 599.0f), .pushY = 0},
        {.dx = -600, .dy = 0, .pushX = 0, .pushY = 0},
        {.dx = 360, .dy = -480, .pushX = 0, .pushY = 0},
        {.dx = 1040, .dy = 660, .pushX = 0, .pushY = 0}};
    for (const auto& [dx, dy, pushX, pushY] : cases) {
        Gameplay g;
        g.Gun().reloadFrames = 45;
        g.ShipAt().vx = 1;
        g.Rock(960 + dx, 540 + dy, kSmallVoidrock);  // too small to touch the ship
        g.Bullet(960 + dx, 540 + dy);
        ASSERT_EQ(After(g), Hits(1));
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
