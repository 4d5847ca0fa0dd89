#pragma once

#include <cstdint>

#include "ecs/Singleton.h"

class World;

// The scene's entity factory, kept as a scene singleton: builds the entities that need more
// than their archetype's defaults.
struct EntityCreator : Singleton {
    World* world = nullptr;
    SingletonMap* sceneSingletons = nullptr;

    // A bullet leaving (x, y) along the heading at the bullet speed on top of the velocity
    // it inherits from the ship.
    void CreateBullet(float x, float y, float vx, float vy, float heading);

    // A voidrock of the size class at (x, y), drifting with (vx, vy), drawn at a random angle.
    void CreateVoidrock(float x, float y, float vx, float vy, std::int32_t size);
};
