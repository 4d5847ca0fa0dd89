#pragma once

#include <cstdint>

#include "game/Components.h"

// Where things may be on and around the 1920 x 1080 canvas, in canvas pixels: the one home of
// the playfield's geometry for the systems and for the tools that check them.

// A rectangle by its edges.
struct Area {
    float left;
    float top;
    float right;
    float bottom;
};

// The ship stays 96 pixels away from every edge of the canvas.
inline constexpr Area kShipBandPixels{96.0f, 96.0f, 1824.0f, 984.0f};
inline constexpr float kShipStartXPixels = 960.0f;
inline constexpr float kShipStartYPixels = 540.0f;

// A bullet beyond these bounds is gone. Not the same margin on every side: 200 pixels beyond
// the left and top edges of the canvas, 180 beyond the right and 20 beyond the bottom.
inline constexpr Area kBulletBoundsPixels{-200.0f, -200.0f, 2100.0f, 1100.0f};

// Voidrocks wrap around a 5000 x 4000 area around the canvas.
inline constexpr Area kVoidrockWrapPixels{-1000.0f, -1000.0f, 4000.0f, 3000.0f};
// Contacts count only strictly inside this area.
inline constexpr Area kContactAreaPixels{-150.0f, -150.0f, 2050.0f, 1250.0f};
// Every voidrock starts outside the canvas, above and to the left.
inline constexpr float kVoidrockSpawnXPixels = -500.0f;
inline constexpr float kVoidrockSpawnYPixels = -500.0f;

// How near a voidrock's centre must come to touch the ship or a bullet; the ship's radius is
// 22 pixels larger than a bullet's for every size.
struct ContactRadii {
    float ship;
    float bullet;
};

inline constexpr ContactRadii ContactRadiiPixels(std::int32_t size) {
    switch (size) {
        case kBigVoidrock:
            return {136.0f, 114.0f};
        case kMediumVoidrock:
            return {102.0f, 80.0f};
        default:
            return {54.0f, 32.0f};
    }
}
