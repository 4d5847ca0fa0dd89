#pragma once

#include <cstdint>

#include "ecs/System.h"
#include "game/Tuning.h"

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
