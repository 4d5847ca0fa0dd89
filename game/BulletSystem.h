#pragma once

#include "ecs/System.h"

// Removes bullets that have left the field.
class BulletSystem : public System {
  public:
    void Update() override;
};
