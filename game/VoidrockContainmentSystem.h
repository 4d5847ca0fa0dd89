#pragma once

#include <vector>

#include "ecs/System.h"

// Wraps voidrocks around their area and settles their contacts with the ship and the bullets.
class VoidrockContainmentSystem final : public System {
  public:
    void Update() override;

    // An entity and where it is this frame.
    struct Placed {
        EntityId id;
        float x;
        float y;
    };

  private:
    // The voidrocks inside the contact area this frame, and the ships and bullets: nothing in
    // this update moves them. Kept between frames, so that a frame allocates only when a crowd
    // has grown past its largest.
    std::vector<Placed> inContactArea;
    std::vector<Placed> shipsAt;
    std::vector<Placed> bulletsAt;
};
