#pragma once

#include "ecs/System.h"

// Moves every body by its velocity, once per frame.
class PhysicsSystem final : public System {
  public:
    void Update() override;
};
