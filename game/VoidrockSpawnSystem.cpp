#include "game/VoidrockSpawnSystem.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "game/Components.h"
#include "game/EntityCreator.h"
#include "game/Message.h"
#include "game/Playfield.h"
#include "game/Tuning.h"

namespace {

constexpr int kSizeClasses = 3;

float DrawDriftComponent() {
    return static_cast<float>(std::rand() % kVoidrockSpeedSteps - kVoidrockSpeedSteps / 2) /
           kVoidrockSpeedStepsPerPixel;
}

// The value scaled by the ratio, rounded up from the exact quotient.
std::int32_t ScaledRoundedUp(std::int32_t value, Ratio ratio) {
    return static_cast<std::int32_t>(
        std::ceil(static_cast<double>(value) * ratio.numerator / ratio.denominator));
}

}  // namespace

Drift DrawVoidrockDrift() {
    Drift drift{0, 0};
    while (drift.vx == 0 || drift.vy == 0) {
        drift.vx = DrawDriftComponent();
        drift.vy = DrawDriftComponent();
    }
    return drift;
}

std::int32_t DrawVoidrockSize() {
    return std::rand() % kSizeClasses;
}

void VoidrockSpawnSystem::Update() {
    if (framesSinceSpawn == spawnInterval) {
        // rand is never seeded, so every run spawns the same voidrocks.
        const Drift drift = DrawVoidrockDrift();
        const std::int32_t size = DrawVoidrockSize();
        GetSceneSingleton<EntityCreator>()->CreateVoidrock(
            kVoidrockSpawnXPixels, kVoidrockSpawnYPixels, drift.vx, drift.vy, size);
        framesSinceSpawn = 0;
        ++spawnedInPhase;
    }
    if (spawnedInPhase != phaseLength) {
        ++framesSinceSpawn;
        return;
    }
    spawnInterval = ScaledRoundedUp(spawnInterval, kSpawnIntervalPerPhase);
    phaseLength = ScaledRoundedUp(phaseLength, kVoidrocksPerPhase);
    spawnedInPhase = 0;

    ShowMessage(*world, kPhaseMessage, kPhaseMessage.text + std::to_string(phase));

    ++phase;
    ++framesSinceSpawn;
}
