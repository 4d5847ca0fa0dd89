#pragma once

#include "ecs/System.h"

// Removes bullets that have left the field.
class BulletSystem final : public System {
  public:
    void Update() override;
};
