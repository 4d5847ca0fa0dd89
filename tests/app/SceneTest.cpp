#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ScriptedScene.h"

namespace {

std::shared_ptr<ScriptedScene> MakeScene() {
    return std::make_shared<ScriptedScene>();
}

TEST(SceneFrameLoop, SystemsUpdateInOrderAndQuitFinishesTheFrame) {
    auto scene = MakeScene();
    std::vector<std::string> log;
    scene->onSetup = [&](ScriptedScene& s) {
        s.Add([&](ScriptedSystem& self) {
            log.push_back("first");
            self.world->quit = true;
        });
        s.Add([&](ScriptedSystem&) { log.push_back("second"); });
        s.Add([&](ScriptedSystem&) { log.push_back("third"); });
    };
    scene->Run();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(scene->setups, 1);
    EXPECT_EQ(scene->teardowns, 1);
}

TEST(SceneFrameLoop, ChangeSceneEndsTheSceneWithFlagsLeftSet) {
    auto scene = MakeScene();
    int frames = 0;
    scene->onSetup = [&](ScriptedScene& s) {
        s.Add([&](ScriptedSystem& self) {
            if (++frames == 3) {
                self.world->nextScene = "other";
                self.world->changeScene = true;
            }
        });
    };
    scene->Run();
    EXPECT_EQ(frames, 3);
    EXPECT_TRUE(scene->world.changeScene);
    EXPECT_FALSE(scene->world.quit);
    EXPECT_EQ(scene->teardowns, 1);
}

TEST(SceneFrameLoop, QueuedEntitiesAreGoneBeforeTheNextSystem) {
    auto scene = MakeScene();
    std::vector<std::size_t> seenByLater;
    std::vector<EntityId> destroyed;
    scene->onSetup = [&](ScriptedScene& s) {
        for (int i = 0; i < 4; ++i) {
            s.AddToGroup(s.CreateEntity("body"), "all");
        }
        s.Add([&](ScriptedSystem& self) {
            // Out of order and twice: destroyed once each, lowest identifier first.
            for (EntityId id : {3, 1, 3}) {
                self.QueueDestroy(Entity{id, &self.world->store});
            }
        });
        s.Add([&](ScriptedSystem& self) {
            seenByLater.push_back(self.world->GetEntities<Position>()->size());
            seenByLater.push_back(self.GetGroup("all").size());
            destroyed.assign(self.world->freeIds.begin(), self.world->freeIds.end());
            self.world->quit = true;
        });
    };
    scene->Run();
    EXPECT_EQ(seenByLater, (std::vector<std::size_t>{2, 2}));
    EXPECT_EQ(destroyed, (std::vector<EntityId>{1, 3}));
    EXPECT_TRUE(scene->systems[0]->destroyQueue.empty());
}

TEST(SceneFrameLoop, SystemsAddedUnderAGroupNameNeverUpdate) {
    auto scene = MakeScene();
    int grouped = 0;
    scene->onSetup = [&](ScriptedScene& s) {
        ScriptedSystem& idle = s.Add([&](ScriptedSystem&) { ++grouped; }, "paused");
        EXPECT_EQ(idle.world, &s.world);
        EXPECT_EQ(idle.sceneSingletons, &s.sceneSingletons);
        s.Add([&](ScriptedSystem& self) { self.world->quit = true; });
    };
    scene->Run();
    EXPECT_EQ(grouped, 0);
    EXPECT_EQ(scene->systemGroups["paused"].size(), 1u);
    EXPECT_EQ(scene->systems.size(), 1u);
}

struct Maker : Singleton {
    World* world = nullptr;
    SingletonMap* sceneSingletons = nullptr;
    int serial = 0;
};

TEST(SceneSingletons, AddingTwiceLeavesTheSecondWiredToTheScene) {
    auto scene = MakeScene();
    scene->AddSceneSingleton<Maker>();
    scene->GetSceneSingleton<Maker>()->serial = 1;
    std::weak_ptr<Singleton> first = scene->sceneSingletons[KeyOf<Maker>()];
    scene->AddSceneSingleton<Maker>();
    Maker* second = scene->GetSceneSingleton<Maker>();
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(second->serial, 0);
    EXPECT_EQ(second->world, &scene->world);
    EXPECT_EQ(second->sceneSingletons, &scene->sceneSingletons);
}

TEST(SceneReset, LeavesAnEmptySceneWithAFreshWorld) {
    auto scene = MakeScene();
    scene->world.singletons = std::make_shared<SingletonMap>();
    scene->onSetup = [&](ScriptedScene& s) {
        s.AddSceneSingleton<Maker>();
        s.AddToGroup(s.CreateEntity("body"), "all");
        s.Add([](ScriptedSystem&) {}, "paused");
        s.Add([](ScriptedSystem& self) {
            self.world->nextScene = "elsewhere";
            self.world->quit = true;
            self.world->changeScene = true;
        });
    };
    scene->Run();
    std::weak_ptr<System> system = scene->systems[0];

    scene->Reset();
    EXPECT_TRUE(system.expired());
    EXPECT_TRUE(scene->systems.empty());
    EXPECT_TRUE(scene->systemGroups.empty());
    EXPECT_TRUE(scene->sceneSingletons.empty());
    EXPECT_FALSE(scene->world.quit);
    EXPECT_FALSE(scene->world.changeScene);
    EXPECT_TRUE(scene->world.nextScene.empty());
    EXPECT_EQ(scene->world.singletons, nullptr);
    EXPECT_TRUE(scene->world.signatures.empty());
    EXPECT_TRUE(scene->world.groups.empty());
    EXPECT_EQ(scene->world.store.nextTypeIndex, 0);
    // The fresh world starts its identifiers at 0 again.
    scene->RegisterComponent<Position>();
    EXPECT_EQ(scene->CreateEntity("body").id, 0);
}

}  // namespace
