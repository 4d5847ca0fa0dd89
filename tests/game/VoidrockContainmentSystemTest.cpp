#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "game/GameplayHarness.h"
#include "game/VoidrockContainmentSystem.h"

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kShipX = 960.0f;
constexpr float kShipY = 540.0f;
// Far enough from the ship's start for neither contact nor push (more than 600 pixels).
constexpr float kFarX = 200.0f;
constexpr float kFarY = 100.0f;

struct Radii {
    std::int32_t size;
    float ship;
    float bullet;
};
// Sizes 5 and -1 are not classes of their own: they count as small.
constexpr Radii kRadii[] = {
    {2, 136.0f, 114.0f}, {1, 102.0f, 80.0f}, {0, 54.0f, 32.0f},
    {5, 54.0f, 32.0f},   {-1, 54.0f, 32.0f},
};

class ContainmentTest : public ::testing::Test {
  protected:
    void Contain() { game.Run<VoidrockContainmentSystem>(); }

    VoidrockContainmentSystem& System() { return game.SystemOf<VoidrockContainmentSystem>(); }

    std::vector<Transform> Explosions() {
        std::vector<Transform> found;
        for (const Entity& e : game.Members("explosion")) {
            EXPECT_EQ(e.GetComponent<SpriteRenderer>().sprite, "explosion");
            EXPECT_EQ(e.GetComponent<DestroyTimer>().frames, 20);
            found.push_back(e.GetComponent<Transform>());
        }
        return found;
    }

    bool ShipAlive() { return game.Count("ship") == 1; }

    Gameplay game;
};

// ---- Wrapping

TEST_F(ContainmentTest, WrapsOnlyBeyondTheExactEdges) {
    struct Case {
        float x, y, wrappedX, wrappedY;
    };
    const Case cases[] = {
        {4000.0f, 0.0f, 4000.0f, 0.0f},         {4000.5f, 0.0f, -1000.0f, 0.0f},
        {-1000.0f, 0.0f, -1000.0f, 0.0f},       {-1000.5f, 0.0f, 4000.0f, 0.0f},
        {0.0f, 3000.0f, 0.0f, 3000.0f},         {0.0f, 3000.5f, 0.0f, -1000.0f},
        {0.0f, -1000.0f, 0.0f, -1000.0f},       {0.0f, -1000.5f, 0.0f, 3000.0f},
        {4000.5f, -1000.5f, -1000.0f, 3000.0f},
    };
    for (const Case& c : cases) {
        Gameplay fresh;
        const Entity v = fresh.AddVoidrock(c.x, c.y, kBigVoidrock);
        fresh.Run<VoidrockContainmentSystem>();
        const Transform& t = v.GetComponent<Transform>();
        EXPECT_EQ(t.x, c.wrappedX) << c.x << ", " << c.y;
        EXPECT_EQ(t.y, c.wrappedY) << c.x << ", " << c.y;
    }
}

// ---- Contact radii

TEST_F(ContainmentTest, ShipContactIsStrictlyInsideTheRadiusOfEachSize) {
    for (const Radii& r : kRadii) {
        for (float distance : {r.ship - 1.0f, r.ship}) {
            Gameplay fresh;
            const Entity v = fresh.AddVoidrock(kShipX + distance, kShipY, r.size);
            fresh.Run<VoidrockContainmentSystem>();
            const bool hit = distance < r.ship;
            EXPECT_EQ(fresh.Count("ship"), hit ? 0u : 1u) << r.size << " at " << distance;
            EXPECT_EQ(fresh.Messages("GAME OVER").size(), hit ? 1u : 0u);
            // The voidrock stays either way.
            EXPECT_TRUE(fresh.world().IsLive(v.id));
        }
    }
}

TEST_F(ContainmentTest, ShipContactUsesTheEuclideanDistance) {
    // (81, 108) is 135 away and (64, 120) is 136 away: one hits a big voidrock, one does not,
    // although the second is nearer along x.
    for (auto [dx, dy, hit] :
         {std::tuple{81.0f, 108.0f, true}, std::tuple{64.0f, 120.0f, false},
          std::tuple{-81.0f, -108.0f, true}, std::tuple{-120.0f, 64.0f, false}}) {
        Gameplay fresh;
        fresh.AddVoidrock(kShipX + dx, kShipY + dy, kBigVoidrock);
        fresh.Run<VoidrockContainmentSystem>();
        EXPECT_EQ(fresh.Count("ship"), hit ? 0u : 1u) << dx << ", " << dy;
    }
}

TEST_F(ContainmentTest, BulletContactIsStrictlyInsideTheRadiusOfEachSize) {
    for (const Radii& r : kRadii) {
        for (float distance : {r.bullet - 1.0f, r.bullet}) {
            Gameplay fresh;
            const Entity v = fresh.AddVoidrock(kFarX, kFarY, r.size);
            const Entity b = fresh.AddBullet(kFarX, kFarY + distance);
            fresh.Run<VoidrockContainmentSystem>();
            const bool hit = distance < r.bullet;
            EXPECT_EQ(fresh.world().IsLive(v.id), !hit) << r.size << " at " << distance;
            EXPECT_EQ(fresh.world().IsLive(b.id), !hit) << r.size << " at " << distance;
            EXPECT_EQ(fresh.ScoreValue(), hit ? 1 : 0);
            EXPECT_EQ(fresh.Count("explosion"), hit ? 1u : 0u);
            EXPECT_TRUE(fresh.Count("ship") == 1);
        }
    }
}

TEST_F(ContainmentTest, NothingHappensOnTheEdgeOfTheCollisionArea) {
    struct Edge {
        const char* name;
        float x, y;
        float insideX, insideY;
    };
    const Edge edges[] = {
        {"left", -150.0f, 500.0f, std::nextafter(-150.0f, kInfinity), 500.0f},
        {"right", 2050.0f, 500.0f, std::nextafter(2050.0f, -kInfinity), 500.0f},
        {"top", 500.0f, -150.0f, 500.0f, std::nextafter(-150.0f, kInfinity)},
        {"bottom", 500.0f, 1250.0f, 500.0f, std::nextafter(1250.0f, -kInfinity)},
    };
    for (const Edge& e : edges) {
        for (bool onEdge : {true, false}) {
            Gameplay fresh;
            const float x = onEdge ? e.x : e.insideX;
            const float y = onEdge ? e.y : e.insideY;
            // Ship, bullet and voidrock all at the same point.
            fresh.ShipAt().x = x;
            fresh.ShipAt().y = y;
            const Entity v = fresh.AddVoidrock(x, y, kBigVoidrock);
            fresh.AddBullet(x, y);
            fresh.Run<VoidrockContainmentSystem>();
            EXPECT_EQ(fresh.Count("ship"), onEdge ? 1u : 0u) << e.name << " " << onEdge;
            EXPECT_EQ(fresh.Count("bullet"), onEdge ? 1u : 0u) << e.name << " " << onEdge;
            EXPECT_EQ(fresh.world().IsLive(v.id), onEdge) << e.name << " " << onEdge;
            EXPECT_EQ(fresh.ScoreValue(), onEdge ? 0 : 1) << e.name << " " << onEdge;
        }
    }
}

// ---- Several contacts in one update

TEST_F(ContainmentTest, TwoBulletsInOneVoidrockBothGoAndScoreTwo) {
    const Entity v = game.AddVoidrock(kFarX, kFarY, kBigVoidrock);
    game.AddBullet(kFarX, kFarY);
    game.AddBullet(kFarX + 10.0f, kFarY);
    Contain();
    EXPECT_FALSE(game.world().IsLive(v.id));
    EXPECT_EQ(game.Count("bullet"), 0u);
    const std::vector<Transform> explosions = Explosions();
    ASSERT_EQ(explosions.size(), 2u);
    for (const Transform& t : explosions) {
        EXPECT_EQ(t.x, kFarX);
        EXPECT_EQ(t.y, kFarY);
    }
    EXPECT_EQ(game.ScoreValue(), 2);
}

TEST_F(ContainmentTest, OneBulletInTwoVoidrocksDestroysBothAndScoresTwo) {
    game.AddVoidrock(kFarX, kFarY, kBigVoidrock);
    game.AddVoidrock(kFarX + 20.0f, kFarY, kSmallVoidrock);
    game.AddBullet(kFarX + 10.0f, kFarY);
    Contain();
    EXPECT_EQ(game.Count("voidrock"), 0u);
    EXPECT_EQ(game.Count("bullet"), 0u);
    const std::vector<Transform> explosions = Explosions();
    ASSERT_EQ(explosions.size(), 2u);
    EXPECT_EQ(explosions[0].x + explosions[1].x, 2 * kFarX + 20.0f);
    EXPECT_EQ(game.ScoreValue(), 2);
}

TEST_F(ContainmentTest, TwoVoidrocksOnTheShipDestroyItOnceAndPutUpTwoGameOvers) {
    game.AddVoidrock(kShipX, kShipY, kSmallVoidrock);
    game.AddVoidrock(kShipX + 30.0f, kShipY, kMediumVoidrock);
    Contain();
    EXPECT_EQ(game.Count("ship"), 0u);
    EXPECT_EQ(game.Count("voidrock"), 2u);
    const std::vector<Entity> messages = game.Messages("GAME OVER");
    ASSERT_EQ(messages.size(), 2u);
    for (const Entity& m : messages) {
        EXPECT_EQ(m.GetComponent<Transform>().x, 800.0f);
        EXPECT_EQ(m.GetComponent<Transform>().y, 540.0f);
        EXPECT_EQ(m.GetComponent<InstructionsTimer>().frames, 1000);
    }
}

TEST_F(ContainmentTest, AHitInTheFrameTheShipDiesStillScoresAndExplodes) {
    // One big voidrock touching the ship 100 pixels off, and a bullet inside it.
    game.AddVoidrock(kShipX + 100.0f, kShipY, kBigVoidrock);
    game.AddBullet(kShipX + 100.0f, kShipY);
    Contain();
    EXPECT_EQ(game.Count("ship"), 0u);
    EXPECT_EQ(game.Messages("GAME OVER").size(), 1u);
    EXPECT_EQ(game.Count("voidrock"), 0u);
    EXPECT_EQ(game.ScoreValue(), 1);
    ASSERT_EQ(Explosions().size(), 1u);
}

// ---- The push on the ship and the reload

TEST_F(ContainmentTest, APushFallsWithTheSquareOfTheDistanceAndEndsAt600) {
    struct Case {
        float dx, dy;  // bullet relative to the ship
        float pushX, pushY;
    };
    // 0.2 * (500 / e)^2, pointing from the bullet to the ship.
    const Case cases[] = {
        {-100.0f, 0.0f, 5.0f, 0.0f},
        {0.0f, -500.0f, 0.0f, 0.2f},
        {60.0f, 80.0f, -3.0f, -4.0f},
        {-250.0f, 0.0f, 0.8f, 0.0f},
        {-599.0f, 0.0f, 0.2f * (500.0f / 599.0f) * (500.0f / 599.0f), 0.0f},
        {-600.0f, 0.0f, 0.0f, 0.0f},
        {360.0f, -480.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        Gameplay fresh;
        // A small voidrock: at these distances it does not touch the ship.
        fresh.AddVoidrock(kShipX + c.dx, kShipY + c.dy, kSmallVoidrock);
        fresh.AddBullet(kShipX + c.dx, kShipY + c.dy);
        fresh.ShipAt().vx = 1.0f;
        fresh.ShipAt().vy = -1.0f;
        fresh.Run<VoidrockContainmentSystem>();
        ASSERT_EQ(fresh.ScoreValue(), 1);
        EXPECT_NEAR(fresh.ShipAt().vx, 1.0f + c.pushX, 1e-4f) << c.dx << ", " << c.dy;
        EXPECT_NEAR(fresh.ShipAt().vy, -1.0f + c.pushY, 1e-4f) << c.dx << ", " << c.dy;
        // The position is physics' business.
        EXPECT_EQ(fresh.ShipAt().x, kShipX);
        EXPECT_EQ(fresh.ShipAt().y, kShipY);
    }
}

TEST_F(ContainmentTest, AHitAnywhereReloadsTheGun) {
    game.Gun().reloadFrames = 45;
    game.AddVoidrock(2000.0f, 1200.0f, kMediumVoidrock);
    game.AddBullet(2000.0f, 1200.0f);
    Contain();
    EXPECT_EQ(game.Gun().reloadFrames, 0);
    EXPECT_EQ(game.ShipAt().vx, 0.0f);
    EXPECT_EQ(game.ShipAt().vy, 0.0f);
}

TEST_F(ContainmentTest, ABulletOnTheShipsCentreGivesNoPushAndNoNaN) {
    // The voidrock around the bullet also touches the ship, which is destroyed after the
    // update; its velocity is looked at before that.
    game.ShipAt().vx = 2.0f;
    game.ShipAt().vy = 1.0f;
    game.AddVoidrock(kShipX + 10.0f, kShipY, kSmallVoidrock);
    game.AddBullet(kShipX, kShipY);
    System().Update();
    const Transform& ship = game.ShipAt();
    EXPECT_EQ(ship.vx, 2.0f);
    EXPECT_EQ(ship.vy, 1.0f);
    EXPECT_EQ(game.Gun().reloadFrames, 0);
    game.Drain(System());
    EXPECT_EQ(game.ScoreValue(), 1);
    EXPECT_EQ(game.Count("ship"), 0u);
}

}  // namespace
