#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ScriptedScene.h"

namespace {

struct Platform : Singleton {
    int serial = 0;
};

ScriptedScene& AddScripted(ScriptedGame& game, const std::string& name,
                           std::function<void(ScriptedScene&)> setup) {
    game.AddScene<ScriptedScene>(name);
    auto& scene = static_cast<ScriptedScene&>(*game.scenes[name]);
    scene.onSetup = std::move(setup);
    return scene;
}

// A scene whose only system ends it in its first frame with the given flags.
std::function<void(ScriptedScene&)> EndsWith(bool quit, bool change, std::string next) {
    return [=](ScriptedScene& scene) {
        scene.Add([=](ScriptedSystem& self) {
            self.world->quit = quit;
            self.world->changeScene = change;
            self.world->nextScene = next;
        });
    };
}

TEST(GameRun, QuitWinsOverChangeScene) {
    ScriptedGame game;
    ScriptedScene* a = nullptr;
    ScriptedScene* b = nullptr;
    game.onInit = [&](ScriptedGame& g) {
        a = &AddScripted(g, "a", EndsWith(true, true, "b"));
        b = &AddScripted(g, "b", EndsWith(true, false, ""));
    };
    game.Run("a");
    EXPECT_EQ(game.shutdowns, 1);
    EXPECT_EQ(b->setups, 0);
    EXPECT_EQ(game.currentScene, "a");
    // A scene that ended with quit is left as it was.
    EXPECT_TRUE(a->world.quit);
    EXPECT_EQ(a->systems.size(), 1u);
}

TEST(GameRun, SwitchResetsTheSceneLeftBeforeTheNextOneStarts) {
    ScriptedGame game;
    ScriptedScene* a = nullptr;
    bool checked = false;
    game.onInit = [&](ScriptedGame& g) {
        a = &AddScripted(g, "a", EndsWith(false, true, "b"));
        AddScripted(g, "b", [&](ScriptedScene& b) {
            // Still in b's setup, before its first frame.
            EXPECT_TRUE(a->systems.empty());
            EXPECT_TRUE(a->world.signatures.empty());
            EXPECT_FALSE(a->world.quit);
            EXPECT_FALSE(a->world.changeScene);
            EXPECT_TRUE(a->world.nextScene.empty());
            EXPECT_EQ(a->world.singletons, g.singletons);
            checked = true;
            EndsWith(true, false, "")(b);
        });
    };
    game.Run("a");
    EXPECT_TRUE(checked);
    EXPECT_EQ(game.currentScene, "b");
    EXPECT_EQ(game.shutdowns, 1);
}

TEST(GameRun, SceneRestartsItselfThroughNextScene) {
    ScriptedGame game;
    ScriptedScene* scene = nullptr;
    std::vector<std::size_t> entitiesAtSetup;
    std::vector<Platform*> platformSeen;
    game.onInit = [&](ScriptedGame& g) {
        g.AddSingleton<Platform>();
        scene = &AddScripted(g, "loop", [&](ScriptedScene& s) {
            entitiesAtSetup.push_back(s.world.signatures.size());
            s.CreateEntity("body");
            s.Add([&](ScriptedSystem& self) {
                platformSeen.push_back(self.GetSingleton<Platform>());
                const bool again = platformSeen.size() < 3;
                self.world->quit = !again;
                self.world->changeScene = again;
                self.world->nextScene = "loop";
            });
        });
    };
    game.Run("loop");
    EXPECT_EQ(scene->setups, 3);
    EXPECT_EQ(scene->teardowns, 3);
    EXPECT_EQ(entitiesAtSetup, (std::vector<std::size_t>{0, 0, 0}));
    Platform* platform = game.GetSingleton<Platform>();
    EXPECT_EQ(platformSeen, (std::vector<Platform*>{platform, platform, platform}));
    EXPECT_EQ(game.shutdowns, 1);
}

TEST(GameRun, UnknownSceneNamesStopLoudlyAfterShuttingDown) {
    ScriptedGame first;
    first.onInit = [](ScriptedGame& g) { AddScripted(g, "a", EndsWith(true, false, "")); };
    EXPECT_THROW(first.Run("missing"), std::invalid_argument);
    EXPECT_EQ(first.shutdowns, 1);

    ScriptedGame next;
    next.onInit = [](ScriptedGame& g) { AddScripted(g, "a", EndsWith(false, true, "nowhere")); };
    EXPECT_THROW(next.Run("a"), std::invalid_argument);
    EXPECT_EQ(next.shutdowns, 1);
}

TEST(GameScenes, AddSceneReplacesAndReleasesTheEarlierScene) {
    ScriptedGame game;
    game.AddScene<ScriptedScene>("a");
    std::weak_ptr<Scene> earlier = game.scenes["a"];
    game.AddScene<ScriptedScene>("a");
    EXPECT_TRUE(earlier.expired());
    EXPECT_EQ(game.scenes["a"]->world.singletons, game.singletons);
}

TEST(GameSingletons, FirstObjectStaysAndMissingTypesThrow) {
    ScriptedGame game;
    EXPECT_THROW(game.GetSingleton<Platform>(), std::out_of_range);
    game.AddSingleton<Platform>();
    game.GetSingleton<Platform>()->serial = 7;
    game.AddSingleton<Platform>();
    EXPECT_EQ(game.GetSingleton<Platform>()->serial, 7);
    EXPECT_EQ(game.singletons->size(), 1u);
}

TEST(GameSingletons, SceneLookupInsertsAnEmptyEntry) {
    SingletonMap map;
    EXPECT_EQ(GetSceneSingletonFrom<Platform>(map), nullptr);
    EXPECT_EQ(map.size(), 1u);
}

}  // namespace
