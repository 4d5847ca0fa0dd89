#pragma once

#include <cstdint>

#include "ecs/System.h"
#include "game/Tuning.h"

// A new voidrock's drift in pixels per frame: each component one of the speed steps, and
// neither of them 0.
struct Drift {
    float vx;
    float vy;
};

// The spawner's draws from rand, in the order it makes them: the drift, then the size class.
Drift DrawVoidrockDrift();
std::int32_t DrawVoidrockSize();

// Releases voidrocks one at a time at a pace that quickens phase by phase, and announces each
// completed phase.
class VoidrockSpawnSystem final : public System {
  public:
    void Update() override;

    std::int32_t framesSinceSpawn = 0;
    std::int32_t spawnInterval = kFirstSpawnIntervalFrames;
    std::int32_t spawnedInPhase = 0;
    std::int32_t phaseLength = kFirstPhaseVoidrocks;
    std::int32_t phase = 1;
};
