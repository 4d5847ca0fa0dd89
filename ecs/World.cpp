#include "ecs/World.h"

#include <stdexcept>

Entity World::CreateEntity(std::string archetypeName) {
    const Signature signature = archetypes[archetypeName];
    EntityId id;
    if (!freeIds.empty()) {
        id = freeIds.front();
        freeIds.pop_front();
        signatures[static_cast<std::size_t>(id)] = signature;
        live[static_cast<std::size_t>(id)] = true;
    } else {
        signatures.push_back(signature);
        live.push_back(true);
        id = static_cast<EntityId>(signatures.size() - 1);
    }
    for (auto i = signature.find_first(); i != Signature::npos; i = signature.find_next(i)) {
        store.ArrayAt(static_cast<std::uint32_t>(i)).Insert(id);
    }
    const Entity entity{id, &store};
    for (std::uint32_t q = 0; q < queryCount; ++q) {
        if (SignatureMatches(signature, querySignatures[q])) {
            queryEntities[q].insert(entity);
        }
    }
    return entity;
}

void World::DestroyEntity(EntityId id) {
    if (!IsLive(id)) {
        throw std::logic_error("DestroyEntity: entity " + std::to_string(id) + " is not live");
    }
    Signature& signature = signatures[static_cast<std::size_t>(id)];
    for (auto i = signature.find_first(); i != Signature::npos; i = signature.find_next(i)) {
        store.ArrayAt(static_cast<std::uint32_t>(i)).Remove(id);
    }
    const Entity entity{id, &store};
    for (std::uint32_t q = 0; q < queryCount; ++q) {
        if (SignatureMatches(signature, querySignatures[q])) {
            queryEntities[q].erase(entity);
        }
    }
    for (auto& [name, group] : groups) {
        group.Erase(id);
    }
    freeIds.push_back(id);
    live[static_cast<std::size_t>(id)] = false;
    signature.reset();
}

std::int32_t World::QueryIndexOf(const Signature& query) {
    if (!queryKnown[query]) {
        const auto index = static_cast<std::int32_t>(queryCount);
        querySignatures.push_back(query);
        queryEntities.emplace_back();
        queryIndex[query] = index;
        EntitySet& members = queryEntities.back();
        for (std::size_t id = 0; id < signatures.size(); ++id) {
            if (Matches(static_cast<EntityId>(id), index)) {
                members.insert(members.end(), Entity{static_cast<EntityId>(id), &store});
            }
        }
        queryKnown[query] = true;
        ++queryCount;
    }
    return queryIndex[query];
}
