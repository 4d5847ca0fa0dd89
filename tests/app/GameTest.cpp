#include "app/Game.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/Scripted.h"

namespace {

struct Platform : Singleton {};

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

TEST(GameRun, ASceneRestartsItselfResetBeforeEachRunWithTheGamesSingletons) {
    ScriptedGame game;
    ScriptedScene* scene = nullptr;
    std::vector<std::size_t> atSetup;  // systems and bodies already there
    std::vector<Platform*> platformSeen;
    game.onInit = [&](ScriptedGame& g) {
        g.AddSingleton<Platform>();
        scene = &AddScripted(g, "loop", [&](ScriptedScene& s) {
            atSetup.push_back(s.systems.size() + s.world.GetEntities<Position>()->size());
            EXPECT_FALSE(s.world.changeScene);
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
    // Played in the three steps a browser's loop takes, one frame at a time; Run is the same.
    game.Start("loop");
    EXPECT_EQ(scene->setups, 1);
    int frames = 1;
    while (game.RunFrame()) {
        ASSERT_LE(++frames, 3);
    }
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(game.shutdowns, 0);
    game.Finish();
    EXPECT_EQ(scene->teardowns, 3);
    EXPECT_EQ(atSetup, (std::vector<std::size_t>{0, 0, 0}));
    Platform* platform = game.GetSingleton<Platform>();
    EXPECT_EQ(platformSeen, (std::vector<Platform*>{platform, platform, platform}));
    EXPECT_EQ(game.shutdowns, 1);
}

// Quit wins over a change of scene; an unknown scene name, first or next, stops the game
// loudly. Either way after shutting down.
TEST(GameRun, QuitWinsAndUnknownSceneNamesStopLoudlyAfterShuttingDown) {
    for (const char* first : {"quits", "missing", "a"}) {
        ScriptedGame game;
        ScriptedScene* b = nullptr;
        game.onInit = [&](ScriptedGame& g) {
            AddScripted(g, "quits", EndsWith(true, true, "b"));
            AddScripted(g, "a", EndsWith(false, true, "nowhere"));
            b = &AddScripted(g, "b", EndsWith(true, false, ""));
        };
        if (first == std::string("quits")) {
            game.Run(first);
        } else {
            EXPECT_THROW(game.Run(first), std::invalid_argument);
        }
        EXPECT_EQ(game.shutdowns, 1);
        EXPECT_EQ(b->setups, 0);
    }
}

}  // namespace
