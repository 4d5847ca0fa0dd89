#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "app/Scene.h"
#include "ecs/Singleton.h"

// The whole run of the program: owns the scenes by name and the game-wide singletons, runs
// the current scene, switches scenes on request and shuts down when a scene quits.
class Game {
  public:
    std::shared_ptr<SingletonMap> singletons = std::make_shared<SingletonMap>();
    std::unordered_map<std::string, std::shared_ptr<Scene>> scenes;
    std::string currentScene;

    // Init, then the named scene and every scene it switches to, then Shutdown. A scene name
    // that was never added shuts down and throws std::invalid_argument.
    void Run(std::string firstScene);

    // Run in three steps, for a caller whose loop must return between frames (a browser's):
    // Start is Init and the first scene's Setup; RunFrame runs one frame and, when the scene
    // ends, switches scenes as Run does, returning false once the game is over; Finish is
    // Shutdown. Unknown scene names throw from Start or RunFrame as from Run, after Shutdown.
    void Start(std::string firstScene);
    bool RunFrame();
    void Finish();

    virtual void Init() = 0;
    virtual void Shutdown() {}

    // Stores a new T under the name, replacing any earlier scene, wired to the singletons.
    template <typename T>
    void AddScene(std::string name) {
        auto& scene = scenes[name];
        scene = std::make_shared<T>();
        scene->world.singletons = singletons;
    }

    template <typename T>
    void AddSingleton() {
        AddSingletonTo<T>(*singletons);
    }

    // Throws std::out_of_range when no T was added.
    template <typename T>
    T* GetSingleton() const {
        return GetSingletonFrom<T>(*singletons);
    }

  protected:
    ~Game() = default;

    // Leaves a scene that asked for a switch: its flags are cleared, it is reset and given the
    // singletons again. Returns the scene it asked for, not yet run.
    Scene& SwitchScene(Scene& left);

  private:
    Scene& SceneNamed(const std::string& name);

    // The scene that Start or the last switch began; null before Start and after the game.
    Scene* running = nullptr;
};
