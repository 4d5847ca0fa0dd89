#pragma once

#include "ecs/ComponentStore.h"
#include "ecs/EntityId.h"

// Names one entity: its identifier and the component store of the world that owns it.
// A handle outlives nothing: after destruction its identifier may name a new entity.
struct Entity {
    EntityId id = 0;
    ComponentStore* store = nullptr;

    // The entity's record of type T, in place. The reference stays valid while the entity
    // lives: records never move.
    template <typename T>
    T& GetComponent() const {
        return store->ArrayOf<T>().Get(id);
    }

    // Entity sets order handles by identifier alone.
    friend bool operator<(const Entity& a, const Entity& b) { return a.id < b.id; }
};
