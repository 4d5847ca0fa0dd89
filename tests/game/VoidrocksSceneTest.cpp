#include "game/VoidrocksScene.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/SteppedGame.h"
#include "support/Presentation.h"

namespace {

TEST(VoidrocksScene, TheFirstFrameShowsTheShipScoreAndOpeningInstruction) {
    SteppedGame game;
    World& world = game.GameScene().world;
    ASSERT_TRUE(game.Step());
    EXPECT_EQ(world.GetEntities<Transform>()->size(), 3u);
    // The one entity of each kind: where it is, its groups and its text or sprite.
    const std::tuple<EntitySet*, float, float, std::vector<std::string>, std::string> table[] = {
        {world.GetEntities<Ship>(), 960, 540, {"ship"}, "ship"},
        {world.GetEntities<Score>(), 20, 20, {}, "Score: 0"},
        {world.GetEntities<InstructionsTimer>(),
         435,
         540,
         {"instructions"},
         "Press UP, DOWN, LEFT, RIGHT to fly."}};
    for (const auto& [set, x, y, groups, shows] : table) {
        ASSERT_EQ(set->size(), 1u) << shows;
        const Entity e = *set->begin();
        EXPECT_EQ(std::pair(e.GetComponent<Transform>().x, e.GetComponent<Transform>().y),
                  std::pair(x, y));
        std::vector<std::string> in;
        for (const auto& [name, group] : world.groups) {
            if (group.Contains(e.id)) {
                in.push_back(name);
            }
        }
        EXPECT_EQ(in, groups) << shows;
        EXPECT_EQ(groups.empty() || groups[0] == "instructions"
                      ? e.GetComponent<TextRenderer>().text
                      : e.GetComponent<SpriteRenderer>().sprite,
                  shows);
    }
    const Rgba centre = PixelAt(LoadImage("Assets/ship-a1.png").get(), 24, 24);
    const Rgb shown = game.CanvasPixel(960, 540);
    EXPECT_EQ((Rgba{shown.r, shown.g, shown.b}), centre);
}

}  // namespace
