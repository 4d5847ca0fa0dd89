#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "ecs/Entity.h"

// A named set of entities, ordered by identifier, one element per identifier.
// Systems read groups by copy every frame, so the elements are kept contiguous:
// a copy is one allocation and iteration touches dense memory.
class Group {
  public:
    using const_iterator = std::vector<Entity>::const_iterator;

    // Inserts unless an element with the same identifier is present.
    void Insert(Entity e) {
        auto it = LowerBound(e.id);
        if (it == members.end() || it->id != e.id) {
            members.insert(it, e);
        }
    }

    void Erase(EntityId id) {
        auto it = LowerBound(id);
        if (it != members.end() && it->id == id) {
            members.erase(it);
        }
    }

    bool Contains(EntityId id) const {
        return std::binary_search(members.begin(), members.end(), Entity{id, nullptr});
    }

    const_iterator begin() const { return members.begin(); }
    const_iterator end() const { return members.end(); }
    std::size_t size() const { return members.size(); }
    bool empty() const { return members.empty(); }

  private:
    std::vector<Entity>::iterator LowerBound(EntityId id) {
        return std::lower_bound(members.begin(), members.end(), Entity{id, nullptr});
    }

    std::vector<Entity> members;
};
