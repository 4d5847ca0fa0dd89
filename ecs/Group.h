#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "ecs/EntitySet.h"

// A named set of entities, ordered by identifier, one element per identifier. Systems read
// groups by copy every frame, so copies share the members until the group changes: a copy
// costs no allocation, and the first change while a copy is alive gives the group members of
// its own, leaving the copy as it was.
class Group {
  public:
    using const_iterator = EntitySet::const_iterator;

    // Inserts unless an element with the same identifier is present.
    void Insert(Entity e) {
        if (!Contains(e.id)) {
            Own().insert(e);
        }
    }

    void Erase(EntityId id) {
        if (Contains(id)) {
            Own().erase(id);
        }
    }

    // Walks the members in ascending order as EntitySet::ForEachWord and ForEachId do. A group
    // changed during the walk gives itself new members and leaves a copy's as they were, so
    // the walk of a copy may change the group.
    template <typename F>
    void ForEachWord(F&& f) const {
        if (members) {
            members->ForEachWord(f);
        }
    }
    template <typename F>
    void ForEachId(F&& f) const {
        if (members) {
            members->ForEachId(f);
        }
    }

    bool Contains(EntityId id) const { return members && members->contains(id); }

    const_iterator begin() const { return members ? members->begin() : const_iterator{}; }
    const_iterator end() const { return members ? members->end() : const_iterator{}; }
    std::size_t size() const { return members ? members->size() : 0; }
    bool empty() const { return size() == 0; }

    // The group's number among its world's groups once it has had a member; -1 before.
    std::int32_t index = -1;

  private:
    EntitySet& Own() {
        if (!members) {
            members = std::make_shared<EntitySet>();
        } else if (members.use_count() > 1) {
            members = std::make_shared<EntitySet>(*members);
        }
        return *members;
    }

    std::shared_ptr<EntitySet> members;
};
