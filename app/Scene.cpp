#include "app/Scene.h"

#include <memory>

void Scene::Run() {
    Start();
    while (RunFrame()) {
    }
    Finish();
}

void Scene::Start() {
    Setup();
}

void Scene::Finish() {
    Teardown();
}

bool Scene::RunFrame() {
    // The count is read again after each system: a system may add systems.
    for (std::size_t i = 0; i < systems.size(); ++i) {
        const std::shared_ptr<System> system = systems[i];
        system->Update();
        while (!system->destroyQueue.empty()) {
            auto first = system->destroyQueue.begin();
            world.DestroyEntity(first->id);
            system->destroyQueue.erase(first);
        }
    }
    // Flags are looked at only between frames, so a frame that raises one is finished.
    return !world.quit && !world.changeScene;
}

void Scene::Reset() {
    // Systems go before the world they point at.
    systemGroups = {};
    systems = {};
    sceneSingletons = {};
    std::destroy_at(&world);
    std::construct_at(&world);
}
