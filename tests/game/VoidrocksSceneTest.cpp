#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <typeindex>
#include <utility>
#include <vector>

#include "app/SteppedGame.h"
#include "game/BulletSystem.h"
#include "game/DestroySystem.h"
#include "game/MovementSystem.h"
#include "game/PhysicsSystem.h"
#include "game/ScoreSystem.h"
#include "game/VoidrockContainmentSystem.h"
#include "game/VoidrockSpawnSystem.h"
#include "render/EventSystem.h"
#include "render/InstructionsSystem.h"
#include "render/PresentationFixture.h"
#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"

namespace {

TEST(VoidrocksScene, TheFirstFrameOfTheGameInItsFixedSetUp) {
    SteppedGame game;
    World& world = game.GameScene().world;
    const ComponentStore& store = world.store;
    EXPECT_EQ((std::vector{store.TypeIndexOf<Transform>(), store.TypeIndexOf<SpriteRenderer>(),
                           store.TypeIndexOf<Voidrock>(), store.TypeIndexOf<DestroyTimer>(),
                           store.TypeIndexOf<TextRenderer>(), store.TypeIndexOf<Score>(),
                           store.TypeIndexOf<InstructionsTimer>(), store.TypeIndexOf<Ship>()}),
              (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    std::vector<std::type_index> systems;
    for (const auto& system : game.GameScene().systems) {
        systems.emplace_back(typeid(*system));
    }
    EXPECT_EQ(systems,
              (std::vector<std::type_index>{
                  typeid(EventSystem), typeid(VoidrockSpawnSystem),
                  typeid(VoidrockContainmentSystem), typeid(ScoreSystem), typeid(DestroySystem),
                  typeid(BulletSystem), typeid(MovementSystem), typeid(PhysicsSystem),
                  typeid(InstructionsSystem), typeid(RenderSys), typeid(TextRenderSystem)}));

    ASSERT_TRUE(game.Step());
    EXPECT_EQ(world.GetEntities<Transform>()->size(), 3u);
    // The one entity of each kind: where it is and its groups.
    const std::tuple<EntitySet*, float, float, std::vector<std::string>> table[] = {
        {world.GetEntities<Ship>(), 960, 540, {"ship"}},
        {world.GetEntities<Score>(), 20, 20, {}},
        {world.GetEntities<InstructionsTimer>(), 435, 540, {"instructions"}}};
    for (const auto& [set, x, y, groups] : table) {
        ASSERT_EQ(set->size(), 1u) << x << "," << y;
        const Entity e = *set->begin();
        EXPECT_EQ(std::pair(e.GetComponent<Transform>().x, e.GetComponent<Transform>().y),
                  std::pair(x, y));
        std::vector<std::string> in;
        for (const auto& [name, group] : world.groups) {
            if (group.Contains(e.id)) {
                in.push_back(name);
            }
        }
        EXPECT_EQ(in, groups) << x << "," << y;
    }
    EXPECT_EQ(world.GetEntities<Ship>()->begin()->GetComponent<SpriteRenderer>().sprite, "ship");
    EXPECT_EQ(world.GetEntities<Score>()->begin()->GetComponent<TextRenderer>().text, "Score: 0");
    EXPECT_EQ(world.GetEntities<InstructionsTimer>()->begin()->GetComponent<TextRenderer>().text,
              "Press UP, DOWN, LEFT, RIGHT to fly.");
    const Rgba centre = PixelAt(LoadImage("Assets/ship-a1.png").get(), 24, 24);
    const Rgb shown = game.CanvasPixel(960, 540);
    EXPECT_EQ((Rgba{shown.r, shown.g, shown.b}), centre);
}

}  // namespace
