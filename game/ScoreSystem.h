#pragma once

#include <cstdint>
#include <string>

#include "ecs/System.h"

// Writes every score into its scoreboard's text.
class ScoreSystem final : public System {
  public:
    void Update() override;
};

// What the scoreboard shows for a score.
std::string ScoreboardText(std::int32_t value);
