#pragma once

#include "ecs/System.h"

// Clears the canvas and draws every sprite onto it in four layers.
class RenderSys final : public System {
  public:
    void Update() override;
};
