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
    Start(std::move(firstScene));
    while (RunFrame()) {
    }
    Finish();
}

void Game::Start(std::string firstScene) {
    currentScene = std::move(firstScene);
    Init();
    running = &SceneNamed(currentScene);
    running->Start();
}

bool Game::RunFrame() {
    if (running->RunFrame()) {
        return true;
    }
    running->Finish();
    // quit wins over changeScene.
    if (running->world.quit || !running->world.changeScene) {
        running = nullptr;
        return false;
    }
    running = &SwitchScene(*running);
    running->Start();
    return true;
}

void Game::Finish() {
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
