#include "game/PhysicsSystem.h"

#include <cstddef>

#include "game/Components.h"

// The walk below moves free records too, which is harmless only while they rest.
static_assert(Transform{}.vx == 0 && Transform{}.vy == 0);

void PhysicsSystem::Update() {
    // Every transform record in storage order: a free record is at rest at the origin, and
    // stays there, so the walk needs neither the entity set nor a lookup per body.
    world->store.ArrayOf<Transform>().ForEachRecordPage([](Transform* t, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            t[i].x += t[i].vx;
            t[i].y += t[i].vy;
        }
    });
}
