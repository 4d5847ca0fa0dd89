#pragma once

#include "ecs/System.h"

// Flies the ship from the keyboard: turning, thrust, speed limit, drag, the wall band, its sprite,
// and firing with recoil and reload.
class MovementSystem final : public System {
  public:
    void Update() override;
};
