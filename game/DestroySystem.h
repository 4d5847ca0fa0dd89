#pragma once

#include "ecs/System.h"

// Counts explosion timers down and removes their entities when time is up.
class DestroySystem final : public System {
  public:
    void Update() override;
};
