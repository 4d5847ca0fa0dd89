#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// The same game as GameplayField written as plain arrays, for comparison: voidrocks as a
// structure of arrays, bullets and explosions as arrays of structures, one ship. Each frame
// does the simulation's arithmetic in the simulation's order: wrap and contacts (hits push the
// ship, reload the gun, leave an explosion and score), explosions counted down, bullets off the
// field dropped, the ship flown by the scripted pilot, then every body moved.
class PlainField {
  public:
    PlainField(std::int64_t voidrocks, std::uint32_t seed);

    void Frame();
    // As GameplayField::Tend.
    void Tend();

    bool ShipAlive() const { return ship.alive; }
    std::size_t Bullets() const { return bullets.size(); }
    std::int64_t frame = 0;
    std::int32_t score = 0;

  private:
    struct Body {
        float x;
        float y;
        float vx;
        float vy;
    };
    struct Explosion {
        float x;
        float y;
        std::int32_t frames;
    };
    struct PlainShip {
        Body body{};
        float rotation = 0;
        float angularVelocity = 0;
        std::int32_t reloadFrames = 0;
        bool fireHeld = false;
        bool alive = true;
    };

    void AddVoidrock();
    void SettleContacts();
    void FlyShip();

    std::int64_t crowd;
    std::mt19937 random;
    std::vector<float> x;
    std::vector<float> y;
    std::vector<float> vx;
    std::vector<float> vy;
    std::vector<std::int32_t> size;
    // This frame's voidrocks inside the contact area, and those hit, by index.
    std::vector<std::uint32_t> inside;
    std::vector<std::uint32_t> hit;
    std::vector<Body> bullets;
    std::vector<std::uint8_t> bulletHit;
    std::vector<Explosion> explosions;
    PlainShip ship;
};
