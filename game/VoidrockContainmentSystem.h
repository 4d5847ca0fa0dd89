#pragma once

#include "ecs/System.h"

// Wraps voidrocks around their area and settles their contacts with the ship and the bullets.
class VoidrockContainmentSystem : public System {
  public:
    void Update() override;
};
