#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/Singleton.h"
#include "ecs/ComponentStore.h"
#include "ecs/Entity.h"
#include "ecs/Group.h"
#include "ecs/Signature.h"

// The entity-component state of one scene, and the flags by which any system ends the scene.
// Entities are made from named archetypes and keep their set of components for life; queries
// and groups are kept in step at creation and destruction.
class World {
  public:
    World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Scene control.
    bool quit = false;
    bool changeScene = false;
    std::string nextScene;
    std::shared_ptr<SingletonMap> singletons;

    ComponentStore store;
    // Released identifiers, reused oldest first.
    std::deque<EntityId> freeIds;
    // One entry per identifier ever handed out; all clear for a free identifier.
    std::vector<Signature> signatures;
    std::unordered_map<std::string, Signature> archetypes;
    std::vector<Signature> querySignatures;
    std::unordered_map<Signature, std::int32_t, SignatureHash> queryIndex;
    std::uint32_t queryCount = 0;
    std::unordered_map<Signature, bool, SignatureHash> queryKnown;
    // A deque, so that the set a system holds stays put when another query is made.
    std::deque<EntitySet> queryEntities;
    std::unordered_map<std::string, Group> groups;

    // Makes an entity with a default record of every component of the archetype. An unknown
    // archetype name registers an empty archetype and makes an entity without components.
    Entity CreateEntity(std::string archetypeName);

    // Destroys a live entity: its records are reset and released, it leaves every query and
    // group, and its identifier becomes free. Throws for an identifier that is not live.
    void DestroyEntity(EntityId id);

    bool IsLive(EntityId id) const {
        return id >= 0 && static_cast<std::size_t>(id) < live.size() &&
               live[static_cast<std::size_t>(id)];
    }

    // Defines the archetype, or adds the types to it when the name is known.
    template <typename... Ts>
    void RegisterArchetype(std::string name) {
        Signature& signature = archetypes[name];
        ((signature.resize(static_cast<std::size_t>(store.nextTypeIndex)),
          signature.set(store.TypeIndexOf<Ts>())),
         ...);
    }

    bool Matches(EntityId id, std::int32_t query) const {
        return SignatureMatches(signatures[static_cast<std::size_t>(id)],
                                querySignatures[static_cast<std::size_t>(query)]);
    }

    // The live set of entities that have all of Ts, made on first request. The set belongs to
    // the world and stays valid as long as the world.
    template <typename... Ts>
    EntitySet* GetEntities() {
        Signature query(static_cast<std::size_t>(store.nextTypeIndex));
        (query.set(store.TypeIndexOf<Ts>()), ...);
        return &queryEntities[static_cast<std::size_t>(QueryIndexOf(query))];
    }

    // Puts the entity into the named group, creating the group when new.
    void AddToGroup(Entity entity, std::string name) { groups[name].Insert(entity); }

  private:
    std::int32_t QueryIndexOf(const Signature& query);

    // Whether each identifier names a live entity, to refuse destroying one twice.
    std::vector<bool> live;
};
