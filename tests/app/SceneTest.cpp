#include "app/Scene.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/Scripted.h"

TEST(SceneFrameLoop, SystemsUpdateInOrderAndAFlagFinishesTheFrame) {
    for (bool quit : {true, false}) {
        auto scene = std::make_shared<ScriptedScene>();
        std::vector<std::string> log;
        scene->onSetup = [&](ScriptedScene& s) {
            s.Add([&](ScriptedSystem& self) {
                log.push_back("first");
                (quit ? self.world->quit : self.world->changeScene) = log.size() == 5;
            });
            s.Add([&](ScriptedSystem&) { log.push_back("second"); });
            s.Add([&](ScriptedSystem&) { ++log.back()[0]; }, "paused");  // never updates
        };
        scene->Run();
        EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "first", "second", "first",
                                                 "second"}));
        EXPECT_EQ(scene->teardowns, 1);
    }
}

TEST(SceneFrameLoop, QueuedEntitiesAreGoneLowestFirstBeforeTheNextSystem) {
    auto scene = std::make_shared<ScriptedScene>();
    std::vector<std::size_t> seenByLater;
    std::vector<EntityId> reused;
    scene->onSetup = [&](ScriptedScene& s) {
        for (int i = 0; i < 4; ++i) {
            s.AddToGroup(s.CreateEntity("body"), "all");
        }
        s.Add([&](ScriptedSystem& self) {
            for (EntityId id : {3, 1, 3}) {  // out of order and twice
                self.QueueDestroy(Entity{id, &self.world->store});
            }
        });
        s.Add([&](ScriptedSystem& self) {
            seenByLater = {self.world->GetEntities<Position>()->size(),
                           self.GetGroup("all").size()};
            // Identifiers are reused in the order they were freed.
            reused = {self.world->CreateEntity("body").id, self.world->CreateEntity("body").id};
            self.world->quit = true;
        });
    };
    scene->Run();
    EXPECT_EQ(seenByLater, (std::vector<std::size_t>{2, 2}));
    EXPECT_EQ(reused, (std::vector<EntityId>{1, 3}));
}
