#include "app/Game.h"

#include <stdexcept>

Scene& Game::SceneNamed(const std::string& name) {
    auto it = scenes.find(name);
    if (it == scenes.end()) {
        Shutdown();
        throw std::invalid_argument("no scene named \"" + name + "\"");
    }
    return *it->second;
}

void Game::Run(std::string firstScene) {
    currentScene = std::move(firstScene);
    Init();
    Scene* scene = &SceneNamed(currentScene);
    scene->Run();
    // quit wins over changeScene.
    while (!scene->world.quit && scene->world.changeScene) {
        Scene& next = SceneNamed(scene->world.nextScene);
        scene->world.quit = false;
        scene->world.changeScene = false;
        currentScene = scene->world.nextScene;
        // The scene left is reset before the next one starts; a scene may restart itself.
        scene->Reset();
        scene->world.singletons = singletons;
        scene = &next;
        scene->Run();
    }
    Shutdown();
}
