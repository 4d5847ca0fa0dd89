#pragma once

#include <cmath>
#include <cstdint>
#include <random>

#include "game/Playfield.h"

// Where a measured crowd's voidrocks go: anywhere in their wrap-around area, but never where
// they would touch the ship in the next frame, so that the ship lives through any measurement.

// Beyond a touch, so that rounding and one frame's drift of either body cannot close the gap.
inline constexpr float kNearShipMarginPixels = 16.0f;

inline bool NearShip(float shipX, float shipY, float x, float y, std::int32_t size) {
    const float dx = x - shipX;
    const float dy = y - shipY;
    const float reach = ContactRadiiPixels(size).ship + kNearShipMarginPixels;
    return dx * dx + dy * dy < reach * reach;
}

// Half the area's width away, on the far side of the ship's band.
inline float AcrossTheArea(float x) {
    const float half = (kVoidrockWrapPixels.right - kVoidrockWrapPixels.left) / 2.0f;
    return x + half > kVoidrockWrapPixels.right ? x - half : x + half;
}

struct Spot {
    float x;
    float y;
};

inline Spot PlaceAwayFromShip(std::mt19937& random, float shipX, float shipY, std::int32_t size) {
    std::uniform_real_distribution<float> across(kVoidrockWrapPixels.left,
                                                 kVoidrockWrapPixels.right);
    std::uniform_real_distribution<float> down(kVoidrockWrapPixels.top, kVoidrockWrapPixels.bottom);
    Spot at{across(random), down(random)};
    while (NearShip(shipX, shipY, at.x, at.y, size)) {
        at = {across(random), down(random)};
    }
    return at;
}
