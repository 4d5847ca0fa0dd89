#pragma once

#include "app/Scene.h"

// The game's one scene: the ship, the scoreboard, the opening instruction, and every system
// in the order in which they run each frame.
class VoidrocksScene : public Scene {
  public:
    void Setup() override;
    void Teardown() override {}
};

// The game's component types, with type indices 0 to 7, and its six archetypes. Components come
// first: every archetype is built from the types registered before it.
void RegisterGameComponents(Scene& scene);
void RegisterGameArchetypes(Scene& scene);
