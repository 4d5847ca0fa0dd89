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
        scene = &SwitchScene(*scene);
        scene->Run();
    }
    Shutdown();
}

Scene& Game::SwitchScene(Scene& left) {
    Scene& next = SceneNamed(left.world.nextScene);
    left.world.quit = false;
    left.world.changeScene = false;
    currentScene = left.world.nextScene;
    // The scene left is reset before the next one starts; a scene may restart itself.
    left.Reset();
    left.world.singletons = singletons;
    return next;
}
