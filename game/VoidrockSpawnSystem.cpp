#include "game/VoidrockSpawnSystem.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "game/EntityCreator.h"
#include "game/Components.h"
#include "game/Message.h"

namespace {

// Every voidrock starts outside the canvas, above and to the left.
constexpr float kSpawnX = -500.0f;
constexpr float kSpawnY = -500.0f;
constexpr int kSizeClasses = 3;
constexpr float kPhaseTextX = 850.0f;
constexpr float kPhaseTextY = 540.0f;
constexpr std::int32_t kPhaseTextFrames = 240;

// One of -2.5, -2.4, ..., 2.4 pixels per frame.
float DrawVelocityComponent() {
    return static_cast<float>(std::rand() % 50 - 25) / 10.0f;
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
        GetSceneSingleton<EntityCreator>()->CreateVoidrock(kSpawnX, kSpawnY, vx, vy, size);
        framesSinceSpawn = 0;
        ++spawnedInPhase;
    }
    if (spawnedInPhase != phaseLength) {
        ++framesSinceSpawn;
        return;
    }
    // The next phase: a quarter shorter between spawns, a third more voidrocks, each the
    // ceiling of the exact quotient.
    spawnInterval = static_cast<std::int32_t>(std::ceil(spawnInterval * 3 / 4.0));
    phaseLength = static_cast<std::int32_t>(std::ceil(static_cast<double>(phaseLength) * 4 / 3.0));
    spawnedInPhase = 0;

    ShowMessage(*world, "Phase " + std::to_string(phase), kPhaseTextX, kPhaseTextY,
                kPhaseTextFrames);

    ++phase;
    ++framesSinceSpawn;
}
