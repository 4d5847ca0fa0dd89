#pragma once

#include "app/Scene.h"

// The game's one scene: the ship, the scoreboard, the opening instruction, and every system
// in the order in which they run each frame.
class VoidrocksScene : public Scene {
  public:
    void Setup() override;
    void Teardown() override {}
};
