#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ecs/ComponentStore.h"
#include "ecs/Entity.h"
#include "ecs/EntitySet.h"
#include "ecs/Group.h"
#include "ecs/RingQueue.h"
#include "ecs/Signature.h"
#include "ecs/SignatureTable.h"
#include "ecs/Singleton.h"

// The index of a list of component types in GetEntities, the same in every world, so that a
// world finds the query of a list by indexing once it has been made.
struct QueryLists;
template <typename... Ts>
inline const std::uint32_t kQueryListIndex = NextIndex<QueryLists>();

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
    RingQueue<EntityId> freeIds;
    // One entry per identifier ever handed out; all clear for a free identifier.
    SignatureTable signatures;
    // The kind (in signatures.kinds) of each named archetype.
    std::unordered_map<std::string, std::uint32_t> archetypes;
    std::vector<Signature> querySignatures;
    std::unordered_map<Signature, std::int32_t, SignatureHash> queryIndex;
    std::uint32_t queryCount = 0;
    std::unordered_map<Signature, bool, SignatureHash> queryKnown;
    // A deque, so that the set a system holds stays put when another query is made.
    std::deque<EntitySet> queryEntities;
    std::unordered_map<std::string, Group> groups;
    // The groups that have had a member, by the order they got their first: the group of
    // index i in an identifier's groupMask.
    std::vector<Group*> groupByIndex;

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

    // Defines the archetype, or adds the types to it when the name is known. Entities made
    // before keep the signature they were made with.
    template <typename... Ts>
    void RegisterArchetype(std::string name) {
        auto it = archetypes.find(name);
        Signature signature = it == archetypes.end() ? Signature() : KindOf(it->second).signature;
        ((signature.resize(static_cast<std::size_t>(store.nextTypeIndex)),
          signature.set(store.TypeIndexOf<Ts>())),
         ...);
        archetypes[name] = Intern(signature);
    }

    bool Matches(EntityId id, std::int32_t query) const {
        return SignatureMatches(signatures[static_cast<std::size_t>(id)],
                                querySignatures[static_cast<std::size_t>(query)]);
    }

    // The live set of entities that have all of Ts, made on first request. The set belongs to
    // the world and stays valid as long as the world.
    template <typename... Ts>
    EntitySet* GetEntities() {
        const std::uint32_t list = kQueryListIndex<Ts...>;
        if (list >= queryOfList.size()) {
            queryOfList.resize(list + 1);
        }
        KnownQuery& known = queryOfList[list];
        // A type registered since would give the query signature another bit count.
        if (known.query < 0 || known.typeCount != store.nextTypeIndex) {
            Signature query(static_cast<std::size_t>(store.nextTypeIndex));
            (query.set(store.TypeIndexOf<Ts>()), ...);
            known = {QueryIndexOf(query), store.nextTypeIndex};
        }
        return &queryEntities[static_cast<std::size_t>(known.query)];
    }

    // Puts the entity into the named group, creating the group when new.
    void AddToGroup(Entity entity, std::string name);

  private:
    std::int32_t QueryIndexOf(const Signature& query);
    // The kind of this signature, made when new.
    std::uint32_t Intern(const Signature& signature);
    SignatureKind& KindOf(std::uint32_t kind) { return *signatures.kinds[kind]; }
    // The queries the kind matches, brought up to date with queries made since last asked.
    const std::vector<EntitySet*>& QueriesOf(SignatureKind& kind) {
        if (kind.queriesSeen < queryCount) [[unlikely]] {
            MatchNewQueries(kind);
        }
        return kind.queries;
    }
    void MatchNewQueries(SignatureKind& kind);

    // Whether each identifier names a live entity, to refuse destroying one twice.
    std::vector<bool> live;
    struct KnownQuery {
        std::int32_t query = -1;
        std::int32_t typeCount = 0;
    };
    // The query of each list of types already asked for, by kQueryListIndex.
    std::vector<KnownQuery> queryOfList;
};
