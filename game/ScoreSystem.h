#pragma once

#include "ecs/System.h"

// Writes every score into its scoreboard's text.
class ScoreSystem : public System {
  public:
    void Update() override;
};
