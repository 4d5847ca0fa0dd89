#pragma once

#include <vector>

#include "ecs/System.h"

// Wraps voidrocks around their area and settles their contacts with the ship and the bullets.
class VoidrockContainmentSystem : public System {
  public:
    void Update() override;

  private:
    // The voidrocks inside the contact area this frame; kept between frames so that a frame
    // allocates only when the crowd has grown past its largest.
    std::vector<EntityId> inContactArea;
};
