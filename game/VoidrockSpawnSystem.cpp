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

float DrawVelocityComponent() {
    return static_cast<float>(std::rand() % kVoidrockSpeedSteps - kVoidrockSpeedSteps / 2) /
           kVoidrockSpeedStepsPerPixel;
}

// The value scaled by the ratio, rounded up from the exact quotient.
std::int32_t ScaledRoundedUp(std::int32_t value, Ratio ratio) {
    return static_cast<std::int32_t>(
        std::ceil(static_cast<double>(value) * ratio.numerator / ratio.denominator));
}

}  // namespace

void VoidrockSpawnSystem::Update() {
    if (framesSinceSpawn == spawnInterval) {
        // rand is never seeded, so every run spawns the same voidrocks.
        float vx = 0;
        float vy = 0;
        while (vx == 0 || vy == 0) {
            vx = DrawVelocityComponent();
            vy = DrawVelocityComponent();
        }
        const std::int32_t size = std::rand() % kSizeClasses;
        GetSceneSingleton<EntityCreator>()->CreateVoidrock(kVoidrockSpawnXPixels,
                                                           kVoidrockSpawnYPixels, vx, vy, size);
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
