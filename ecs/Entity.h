#pragma once

#include <cstdint>
#include <set>

using EntityId = std::int32_t;

class ComponentStore;

// Names one entity: its identifier and the component store of the world that owns it.
// A handle outlives nothing: after destruction its identifier may name a new entity.
struct Entity {
    EntityId id = 0;
    ComponentStore* store = nullptr;

    // The entity's record of type T, in place. Defined with the component store.
    template <typename T>
    T& GetComponent() const;

    // Entity sets order handles by identifier alone.
    friend bool operator<(const Entity& a, const Entity& b) { return a.id < b.id; }
};

// Live query sets and destroy queues: ordered by identifier, one element per identifier.
using EntitySet = std::set<Entity>;
