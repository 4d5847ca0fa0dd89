#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/Scene.h"

// Test doubles for the application frame: systems and scenes whose behaviour a test supplies.

struct Position {
    float x = 0;
};

class ScriptedSystem final : public System {
  public:
    std::function<void(ScriptedSystem&)> onUpdate;
    void Update() override { onUpdate(*this); }
};

class ScriptedScene final : public Scene {
  public:
    std::function<void(ScriptedScene&)> onSetup;
    int setups = 0;
    int teardowns = 0;

    void Setup() override {
        ++setups;
        RegisterComponent<Position>();
        RegisterArchetype<Position>("body");
        onSetup(*this);
    }
    void Teardown() override { ++teardowns; }

    // Appends a system to the run list and gives it its behaviour.
    void Add(std::function<void(ScriptedSystem&)> behaviour, std::string group = "") {
        AddSystems<ScriptedSystem>(group);
        auto& list = group.empty() ? systems : systemGroups[group];
        static_cast<ScriptedSystem&>(*list.back()).onUpdate = std::move(behaviour);
    }
};

class ScriptedGame : public Game {
  public:
    std::function<void(ScriptedGame&)> onInit;
    int shutdowns = 0;

    void Init() override { onInit(*this); }
    void Shutdown() override { ++shutdowns; }
};
