#pragma once

#include "ecs/System.h"

// Runs the timed on-screen messages: blinking, expiry and what follows it.
class InstructionsSystem final : public System {
  public:
    void Update() override;
};
