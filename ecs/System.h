#pragma once

#include <string>

#include "ecs/Entity.h"
#include "ecs/EntitySet.h"
#include "ecs/Group.h"
#include "ecs/Singleton.h"
#include "ecs/World.h"

// What every system shares: its scene's world and the entities it wants destroyed.
// Systems never destroy entities themselves; the scene destroys the queue right after Update.
class GInterface {
  public:
    World* world = nullptr;
    EntitySet destroyQueue;

    // An entity queued twice stays once.
    void QueueDestroy(Entity entity) { destroyQueue.insert(entity); }

    // Game-wide singleton by type; throws std::out_of_range when absent.
    template <typename T>
    T* GetSingleton() const {
        if (!world->singletons) {
            throw std::out_of_range("the world has no game-wide singletons");
        }
        return GetSingletonFrom<T>(*world->singletons);
    }

  protected:
    ~GInterface() = default;
};

// One unit of per-frame behaviour. Always owned by a shared pointer made for its own type.
class System : public GInterface {
  public:
    SingletonMap* sceneSingletons = nullptr;

    virtual void Execute() { Update(); }
    virtual void Update() = 0;

    // A snapshot of the named group; later changes to the group do not reach it.
    Group GetGroup(std::string name) { return world->groups[name]; }

    // Scene singleton by type; null (leaving an empty entry) when absent.
    template <typename T>
    T* GetSceneSingleton() {
        return GetSceneSingletonFrom<T>(*sceneSingletons);
    }

  protected:
    ~System() = default;
};
