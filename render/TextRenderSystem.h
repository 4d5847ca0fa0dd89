#pragma once

#include "ecs/System.h"

// Draws every visible text onto the canvas, then scales the canvas into the window and presents the
// frame.
class TextRenderSystem final : public System {
  public:
    void Update() override;
};
