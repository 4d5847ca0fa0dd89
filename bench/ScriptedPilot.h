#pragma once

#include <cstdint>

// The keys a benchmark's pilot holds in a frame: a slow loop of turns one way and the other,
// bursts of thrust, and the fire key pressed afresh every other frame so that the gun fires
// as soon as it is reloaded.
struct PilotKeys {
    bool clockwise;
    bool anticlockwise;
    bool forward;
    bool fire;
};

inline PilotKeys PilotKeysAt(std::int64_t frame) {
    constexpr std::int64_t kLoopFrames = 600;
    constexpr std::int64_t kClockwiseUntil = 200;
    constexpr std::int64_t kAnticlockwiseFrom = 300;
    constexpr std::int64_t kAnticlockwiseUntil = 450;
    constexpr std::int64_t kThrustPeriodFrames = 120;
    constexpr std::int64_t kThrustFrames = 40;
    const std::int64_t phase = frame % kLoopFrames;
    return {phase < kClockwiseUntil, phase >= kAnticlockwiseFrom && phase < kAnticlockwiseUntil,
            phase % kThrustPeriodFrames < kThrustFrames, frame % 2 == 0};
}
