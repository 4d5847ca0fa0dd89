#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ecs/Singleton.h"
#include "ecs/System.h"
#include "ecs/World.h"

// One stage of the game: its world, its systems in update order, its own singletons.
// Always owned by a shared pointer made for its concrete type.
class Scene {
  public:
    // Systems added under a group name; the frame loop never runs them.
    std::unordered_map<std::string, std::vector<std::shared_ptr<System>>> systemGroups;
    // The run list, in registration order.
    std::vector<std::shared_ptr<System>> systems;
    SingletonMap sceneSingletons;
    World world;

    // Setup, then frames until the world's quit or changeScene is seen after a frame, then
    // Teardown. Each system's destroy queue is drained right after its Update.
    virtual void Run();
    // Run in three steps, for a caller whose loop must return between frames (a browser's):
    // Start is Setup, Finish is Teardown, with RunFrame until it returns false in between.
    void Start();
    void Finish();
    virtual void Setup() = 0;
    virtual void Teardown() = 0;

    // One frame: every system's Update in order, each followed by destroying what it queued.
    // Returns false once the world's quit or changeScene flag is raised.
    bool RunFrame();

    // Back to the state of a newly added scene; the caller hands the singletons in again.
    void Reset();

    // Builds and wires each system type in order; appends to the run list when the group
    // name is empty, else to the named list.
    template <typename... Ss>
    void AddSystems(std::string group) {
        (AddSystem<Ss>(group), ...);
    }

    // Stores a new T (replacing any earlier one) wired to this scene's world and map.
    template <typename T>
    void AddSceneSingleton() {
        sceneSingletons[NameOf<T>()] = std::make_shared<T>();
        GetSceneSingletonFrom<T>(sceneSingletons)->world = &world;
        GetSceneSingleton<T>()->sceneSingletons = &sceneSingletons;
    }

    // The first system of the run list that is an S, or null: systems are found by what they
    // are, never by where they stand.
    template <typename S>
    S* FindSystem() {
        for (const std::shared_ptr<System>& system : systems) {
            if (auto* found = dynamic_cast<S*>(system.get())) {
                return found;
            }
        }
        return nullptr;
    }

    template <typename T>
    T* GetSceneSingleton() {
        return GetSceneSingletonFrom<T>(sceneSingletons);
    }

    template <typename... Ts>
    void RegisterComponent() {
        world.store.RegisterComponent<Ts...>();
    }

    template <typename... Ts>
    void RegisterArchetype(std::string name) {
        world.RegisterArchetype<Ts...>(std::move(name));
    }

    Entity CreateEntity(std::string archetypeName) {
        return world.CreateEntity(std::move(archetypeName));
    }

    void AddToGroup(Entity entity, std::string name) { world.AddToGroup(entity, std::move(name)); }

  protected:
    ~Scene() = default;

  private:
    template <typename S>
    void AddSystem(const std::string& group) {
        auto system = std::make_shared<S>();
        system->world = &world;
        system->sceneSingletons = &sceneSingletons;
        if (group.empty()) {
            systems.push_back(std::move(system));
        } else {
            systemGroups[group].push_back(std::move(system));
        }
    }
};
