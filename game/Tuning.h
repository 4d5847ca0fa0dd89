#pragma once

#include <cstdint>

// The numbers that set how the game plays, in one place for whoever tunes it. Speeds are
// canvas pixels per frame, turns degrees per frame, times frames; factors apply once a frame.

// Ship control.
inline constexpr double kTurnStepDegreesPerFrame = 0.5;
// Without a turn key (or with both) the turn dies away by this factor.
inline constexpr double kTurnDecayPerFrame = 0.85;
inline constexpr float kMaxTurnDegreesPerFrame = 5.0f;
inline constexpr float kThrustPixelsPerFrame = 0.2f;
inline constexpr float kMaxSpeedPixelsPerFrame = 7.0f;
inline constexpr float kDragPerFrame = 0.99f;

// The gun: each shot pushes the ship back and waits for the reload; a hit reloads at once.
inline constexpr float kRecoilPixelsPerFrame = 0.8f;
inline constexpr std::int32_t kReloadFrames = 60;
// Added along the heading to the velocity the bullet inherits from the ship.
inline constexpr float kBulletSpeedPixelsPerFrame = 40.0f;

// A hit pushes the ship away from the bullet with the inverse square of the distance: this
// much at the reference distance, nothing from the reach on.
inline constexpr float kPushPixelsPerFrame = 0.2f;
inline constexpr float kPushReferencePixels = 500.0f;
inline constexpr float kPushReachPixels = 600.0f;

// Voidrock drift: each velocity component is one of kVoidrockSpeedSteps steps centred on 0,
// kVoidrockSpeedStepsPerPixel steps to a pixel per frame (-2.5 to 2.4).
inline constexpr int kVoidrockSpeedSteps = 50;
inline constexpr float kVoidrockSpeedStepsPerPixel = 10.0f;

// Spawn pace: the first phase releases kFirstPhaseVoidrocks, one every
// kFirstSpawnIntervalFrames. Each later phase scales both by its ratio, rounding up.
inline constexpr std::int32_t kFirstSpawnIntervalFrames = 180;
inline constexpr std::int32_t kFirstPhaseVoidrocks = 20;

struct Ratio {
    std::int32_t numerator;
    std::int32_t denominator;
};
inline constexpr Ratio kSpawnIntervalPerPhase{3, 4};
inline constexpr Ratio kVoidrocksPerPhase{4, 3};

// How long an explosion stays on screen.
inline constexpr std::int32_t kExplosionFrames = 20;
