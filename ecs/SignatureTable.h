#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ecs/CompArray.h"
#include "ecs/EntitySet.h"
#include "ecs/PagedRecords.h"
#include "ecs/Signature.h"

// One distinct signature in use, with what creating and destroying an entity of it needs,
// worked out once rather than per entity.
struct SignatureKind {
    Signature signature;
    // The arrays of its set bits, in type-index order.
    std::vector<ICompArray*> arrays;
    // The sets of the queries it matches, among the first queriesSeen queries.
    std::vector<EntitySet*> queries;
    std::uint32_t queriesSeen = 0;
    // The kind of the all-clear signature of the same bit count, which a destroyed entity's
    // identifier takes.
    std::uint32_t cleared = 0;
};

// An identifier's kind and groups, side by side, so that destroying an entity at a random
// identifier reads one place for both.
struct IdentifierState {
    // The number of its signature's kind in SignatureTable::kinds.
    std::uint32_t kind = 0;
    // Bit i says the entity is in the group of index i; the last bit stands for every group
    // from there on. Destruction visits only the groups the entity is in.
    std::uint32_t groupMask = 0;
};

// The signature of every identifier, stored as the number of its kind: entities share the
// few distinct signatures instead of each holding a bitset of its own.
class SignatureTable {
  public:
    const Signature& operator[](std::size_t id) const { return kinds[of[id].kind]->signature; }
    std::size_t size() const { return of.size(); }

    // Indexed by identifier; in pages, so that the table grows without copying.
    PagedRecords<IdentifierState> of;
    // Never shrinks; each kind on its own, so that it stays put while others are added.
    std::vector<std::unique_ptr<SignatureKind>> kinds;
};
