#pragma once

#include <cstdint>

#include "ecs/System.h"

// Releases voidrocks one at a time at a pace that quickens phase by phase, and announces each
// completed phase.
class VoidrockSpawnSystem : public System {
  public:
    void Update() override;

    std::int32_t framesSinceSpawn = 0;
    std::int32_t spawnInterval = 180;
    std::int32_t spawnedInPhase = 0;
    std::int32_t phaseLength = 20;
    std::int32_t phase = 1;
};
