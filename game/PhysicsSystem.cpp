#include "game/PhysicsSystem.h"

#include "game/Components.h"

void PhysicsSystem::Update() {
    auto& transforms = world->store.ArrayOf<Transform>();
    for (const Entity& e : *world->GetEntities<Transform>()) {
        Transform& t = transforms.Get(e.id);
        t.x += t.vx;
        t.y += t.vy;
    }
}
