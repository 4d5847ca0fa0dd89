#include <SDL3_image/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "app/SteppedGame.h"
#include "game/BulletSystem.h"
#include "game/Components.h"
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

const std::string kOpening = "Press UP, DOWN, LEFT, RIGHT to fly.";

// The names of the groups that hold the entity, in name order.
std::vector<std::string> GroupsOf(World& world, EntityId id) {
    std::vector<std::string> names;
    for (const auto& [name, group] : world.groups) {
        if (group.Contains(id)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class VoidrocksSceneTest : public ::testing::Test {
  protected:
    std::vector<EntityId> LiveEntities() {
        std::vector<EntityId> live;
        for (EntityId id = 0; static_cast<std::size_t>(id) < world.signatures.size(); ++id) {
            if (world.IsLive(id)) {
                live.push_back(id);
            }
        }
        return live;
    }

    // Bright pixels in a rectangle of the canvas as the last frame left it.
    int BrightIn(int x, int y, int w, int h) {
        const SDLton& sdl = game.Platform();
        SDL_Texture* previous = SDL_GetRenderTarget(sdl.renderer);
        SDL_SetRenderTarget(sdl.renderer, sdl.target);
        SurfacePtr canvas = OwnSurface(SDL_RenderReadPixels(sdl.renderer, nullptr));
        SDL_SetRenderTarget(sdl.renderer, previous);
        EXPECT_NE(canvas, nullptr) << SDL_GetError();
        int bright = 0;
        for (int row = y; canvas != nullptr && row < y + h; ++row) {
            for (int column = x; column < x + w; ++column) {
                bright += IsBright(PixelAt(canvas.get(), column, row)) ? 1 : 0;
            }
        }
        return bright;
    }

    SteppedGame game;
    World& world = game.GameScene().world;
};

TEST_F(VoidrocksSceneTest, SystemsRunInTheirFixedOrder) {
    const std::vector<std::type_index> expected = {
        typeid(EventSystem),    typeid(VoidrockSpawnSystem), typeid(VoidrockContainmentSystem),
        typeid(ScoreSystem),    typeid(DestroySystem),       typeid(BulletSystem),
        typeid(MovementSystem), typeid(PhysicsSystem),       typeid(InstructionsSystem),
        typeid(RenderSys),      typeid(TextRenderSystem)};
    std::vector<std::type_index> registered;
    for (const auto& system : game.GameScene().systems) {
        registered.emplace_back(typeid(*system));
        EXPECT_EQ(system->world, &world);
        EXPECT_EQ(system->sceneSingletons, &game.GameScene().sceneSingletons);
    }
    EXPECT_EQ(registered, expected);
    EXPECT_TRUE(game.GameScene().systemGroups.empty());
}

TEST_F(VoidrocksSceneTest, ComponentTypesAreNumberedInTheirFixedOrder) {
    const ComponentStore& store = world.store;
    EXPECT_EQ(store.nextTypeIndex, 8);
    EXPECT_EQ(store.TypeIndexOf<Transform>(), 0u);
    EXPECT_EQ(store.TypeIndexOf<SpriteRenderer>(), 1u);
    EXPECT_EQ(store.TypeIndexOf<Voidrock>(), 2u);
    EXPECT_EQ(store.TypeIndexOf<DestroyTimer>(), 3u);
    EXPECT_EQ(store.TypeIndexOf<TextRenderer>(), 4u);
    EXPECT_EQ(store.TypeIndexOf<Score>(), 5u);
    EXPECT_EQ(store.TypeIndexOf<InstructionsTimer>(), 6u);
    EXPECT_EQ(store.TypeIndexOf<Ship>(), 7u);
}

TEST_F(VoidrocksSceneTest, TheFirstFrameHoldsTheShipTheScoreboardAndTheOpeningText) {
    ASSERT_TRUE(game.Step());
    const std::vector<EntityId> live = LiveEntities();
    ASSERT_EQ(live.size(), 3u);

    const Group ships = world.groups["ship"];
    ASSERT_EQ(ships.size(), 1u);
    const Entity ship = *ships.begin();
    const Transform& shipAt = ship.GetComponent<Transform>();
    EXPECT_EQ(shipAt.x, 960.0f);
    EXPECT_EQ(shipAt.y, 540.0f);
    EXPECT_EQ(shipAt.vx, 0.0f);
    EXPECT_EQ(shipAt.vy, 0.0f);
    EXPECT_EQ(shipAt.rotation, 0.0f);
    EXPECT_EQ(ship.GetComponent<SpriteRenderer>().sprite, "ship");
    EXPECT_EQ(ship.GetComponent<Ship>().reloadFrames, 0);
    EXPECT_FALSE(ship.GetComponent<Ship>().fireHeld);

    const EntitySet scoreboards = *world.GetEntities<Score>();
    ASSERT_EQ(scoreboards.size(), 1u);
    const Entity scoreboard = *scoreboards.begin();
    EXPECT_EQ(scoreboard.GetComponent<Score>().value, 0);
    EXPECT_EQ(scoreboard.GetComponent<TextRenderer>().text, "Score: 0");
    EXPECT_EQ(scoreboard.GetComponent<Transform>().x, 20.0f);
    EXPECT_EQ(scoreboard.GetComponent<Transform>().y, 20.0f);
    EXPECT_TRUE(GroupsOf(world, scoreboard.id).empty());

    const Group instructions = world.groups["instructions"];
    ASSERT_EQ(instructions.size(), 1u);
    const Entity opening = *instructions.begin();
    EXPECT_EQ(opening.GetComponent<TextRenderer>().text, kOpening);
    EXPECT_EQ(opening.GetComponent<Transform>().x, 435.0f);
    EXPECT_EQ(opening.GetComponent<Transform>().y, 540.0f);
    EXPECT_EQ(opening.GetComponent<InstructionsTimer>().frames, 299);

    // The three are distinct and each belongs to its own archetype only.
    EXPECT_NE(ship.id, scoreboard.id);
    EXPECT_NE(ship.id, opening.id);
    EXPECT_NE(scoreboard.id, opening.id);
    EXPECT_FALSE(world.store.ArrayOf<TextRenderer>().HasRecord(ship.id));
    EXPECT_FALSE(world.store.ArrayOf<SpriteRenderer>().HasRecord(scoreboard.id));
    EXPECT_FALSE(world.store.ArrayOf<Score>().HasRecord(opening.id));
    EXPECT_EQ(GroupsOf(world, ship.id), std::vector<std::string>{"ship"});
    EXPECT_EQ(GroupsOf(world, opening.id), std::vector<std::string>{"instructions"});
    for (const char* layer : {"bullet", "voidrock", "explosion"}) {
        EXPECT_TRUE(world.groups[layer].empty()) << layer;
    }
}

TEST_F(VoidrocksSceneTest, TheFirstFrameShowsTheShipAndTheScoreWhileTheOpeningTextBlinksOff) {
    ASSERT_TRUE(game.Step());
    const Rgb background = game.Platform().background;

    // The canvas centre shows the middle pixel of the ship's image.
    SDL_Surface* image = IMG_Load("Assets/ship-a1.png");
    ASSERT_NE(image, nullptr) << SDL_GetError();
    Rgb centre;
    Uint8 alpha = 0;
    ASSERT_TRUE(SDL_ReadSurfacePixel(image, 24, 24, &centre.r, &centre.g, &centre.b, &alpha));
    SDL_DestroySurface(image);
    ASSERT_EQ(alpha, 255);
    const Rgb shown = game.CanvasPixel(960, 540);
    EXPECT_EQ(shown.r, centre.r);
    EXPECT_EQ(shown.g, centre.g);
    EXPECT_EQ(shown.b, centre.b);

    // "Score: 0" at (20, 20) is white on the canvas; nothing else is drawn in the corner.
    EXPECT_GT(BrightIn(20, 20, 300, 60), 0);
    EXPECT_EQ(BrightIn(0, 0, 20, 80), 0);
    const Rgb corner = game.CanvasPixel(5, 5);
    EXPECT_TRUE(corner.r == background.r && corner.g == background.g && corner.b == background.b);

    // The opening text starts hidden (count 300) and shows from the second frame, left of the
    // ship where the two do not overlap.
    constexpr int kLeftOfShip = 860;
    EXPECT_EQ(BrightIn(435, 540, kLeftOfShip - 435, 60), 0);
    ASSERT_TRUE(game.Step());
    EXPECT_GT(BrightIn(435, 540, kLeftOfShip - 435, 60), 0);
}

}  // namespace
