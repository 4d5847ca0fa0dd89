#include "ecs/World.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace {
constexpr std::uint32_t kGroupMaskBits = 32;
}  // namespace

Entity World::CreateEntity(std::string archetypeName) {
    auto it = archetypes.find(archetypeName);
    if (it == archetypes.end()) {
        it = archetypes.emplace(std::move(archetypeName), Intern(Signature())).first;
    }
    const std::uint32_t k = it->second;
    SignatureKind& kind = KindOf(k);
    EntityId id;
    if (!freeIds.empty()) {
        id = freeIds.front();
        freeIds.pop_front();
        signatures.of[static_cast<std::size_t>(id)].kind = k;
        live[static_cast<std::size_t>(id)] = true;
    } else {
        id = static_cast<EntityId>(signatures.of.size());
        signatures.of[signatures.of.Append()].kind = k;
        live.push_back(true);
        // Room for every identifier to be freed, so that destroying never allocates.
        freeIds.reserve(signatures.of.size());
    }
    for (ICompArray* array : kind.arrays) {
        array->Insert(id);
    }
    const Entity entity{id, &store};
    for (EntitySet* members : QueriesOf(kind)) {
        members->insert(entity);
    }
    return entity;
}

void World::DestroyEntity(EntityId id) {
    if (!IsLive(id)) {
        throw std::logic_error("DestroyEntity: entity " + std::to_string(id) + " is not live");
    }
    const auto at = static_cast<std::size_t>(id);
    IdentifierState& state = signatures.of[at];
    SignatureKind& kind = KindOf(state.kind);
    for (ICompArray* array : kind.arrays) {
        array->Remove(id);
    }
    for (EntitySet* members : QueriesOf(kind)) {
        members->erase(id);
    }
    for (std::uint32_t mask = state.groupMask; mask != 0; mask &= mask - 1) {
        const auto bit = static_cast<std::uint32_t>(std::countr_zero(mask));
        if (bit < kGroupMaskBits - 1) {
            groupByIndex[bit]->Erase(id);
        } else {
            for (std::size_t g = bit; g < groupByIndex.size(); ++g) {
                groupByIndex[g]->Erase(id);
            }
        }
    }
    state = {kind.cleared, 0};
    freeIds.push_back(id);
    live[at] = false;
}

void World::AddToGroup(Entity entity, std::string name) {
    Group& group = groups[name];
    if (group.index < 0) {
        group.index = static_cast<std::int32_t>(groupByIndex.size());
        groupByIndex.push_back(&group);
    }
    group.Insert(entity);
    // Ids beyond the table have never been handed out, so destruction cannot meet them.
    if (entity.id >= 0 && static_cast<std::size_t>(entity.id) < signatures.size()) {
        const auto bit = std::min(static_cast<std::uint32_t>(group.index), kGroupMaskBits - 1);
        signatures.of[static_cast<std::size_t>(entity.id)].groupMask |= std::uint32_t{1} << bit;
    }
}

std::int32_t World::QueryIndexOf(const Signature& query) {
    if (!queryKnown[query]) {
        const auto index = static_cast<std::int32_t>(queryCount);
        querySignatures.push_back(query);
        queryEntities.emplace_back();
        queryIndex[query] = index;
        EntitySet& members = queryEntities.back();
        members.store = &store;
        for (std::size_t id = 0; id < signatures.size(); ++id) {
            if (Matches(static_cast<EntityId>(id), index)) {
                members.insert(Entity{static_cast<EntityId>(id), &store});
            }
        }
        queryKnown[query] = true;
        ++queryCount;
    }
    return queryIndex[query];
}

std::uint32_t World::Intern(const Signature& signature) {
    for (std::uint32_t k = 0; k < signatures.kinds.size(); ++k) {
        if (signatures.kinds[k]->signature == signature) {
            return k;
        }
    }
    const auto k = static_cast<std::uint32_t>(signatures.kinds.size());
    SignatureKind& kind = *signatures.kinds.emplace_back(std::make_unique<SignatureKind>());
    kind.signature = signature;
    for (auto i = signature.find_first(); i != Signature::npos; i = signature.find_next(i)) {
        kind.arrays.push_back(&store.ArrayAt(static_cast<std::uint32_t>(i)));
    }
    kind.cleared = signature.none() ? k : Intern(Signature(signature.size()));
    return k;
}

void World::MatchNewQueries(SignatureKind& kind) {
    for (; kind.queriesSeen < queryCount; ++kind.queriesSeen) {
        if (SignatureMatches(kind.signature, querySignatures[kind.queriesSeen])) {
            kind.queries.push_back(&queryEntities[kind.queriesSeen]);
        }
    }
}
