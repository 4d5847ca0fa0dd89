#pragma once

#include <ranges>
#include <vector>

#include "ecs/Entity.h"

// The identifiers a set of entities walks through, in its order.
template <typename Set>
std::vector<EntityId> Ids(const Set& set) {
    auto ids = set | std::views::transform(&Entity::id);
    return {ids.begin(), ids.end()};
}
