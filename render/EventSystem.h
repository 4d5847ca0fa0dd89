#pragma once

#include "ecs/System.h"

// Drains the platform's event queue: a quit request ends the game, F11 toggles full screen.
class EventSystem final : public System {
  public:
    void Update() override;
};
