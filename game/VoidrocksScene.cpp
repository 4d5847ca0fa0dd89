#include "game/VoidrocksScene.h"

#include "ecs/EntityCreator.h"
#include "game/BulletSystem.h"
#include "game/Components.h"
#include "game/DestroySystem.h"
#include "game/Message.h"
#include "game/MovementSystem.h"
#include "game/PhysicsSystem.h"
#include "game/ScoreSystem.h"
#include "game/VoidrockContainmentSystem.h"
#include "game/VoidrockSpawnSystem.h"
#include "render/EventSystem.h"
#include "render/InstructionsSystem.h"
#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"

namespace {
constexpr float kShipStartX = 960.0f;
constexpr float kShipStartY = 540.0f;
constexpr float kScoreX = 20.0f;
constexpr float kScoreY = 20.0f;
constexpr float kOpeningX = 435.0f;
constexpr float kOpeningY = 540.0f;
constexpr std::int32_t kOpeningFrames = 300;
}  // namespace

void VoidrocksScene::Setup() {
    // Type indices 0 to 7, in this order.
    RegisterComponent<Transform, SpriteRenderer, Voidrock, DestroyTimer, TextRenderer, Score,
                      InstructionsTimer, Ship>();
    // Input first, presentation last.
    AddSystems<EventSystem, VoidrockSpawnSystem, VoidrockContainmentSystem, ScoreSystem,
               DestroySystem, BulletSystem, MovementSystem, PhysicsSystem, InstructionsSystem,
               RenderSys, TextRenderSystem>("");
    AddSceneSingleton<EntityCreator>();

    RegisterArchetype<Transform, SpriteRenderer, Ship>("ship");
    RegisterArchetype<Transform, SpriteRenderer, Voidrock>("voidrock");
    RegisterArchetype<Transform, SpriteRenderer>("bullet");
    RegisterArchetype<Transform, SpriteRenderer, DestroyTimer>("explosion");
    RegisterArchetype<Transform, TextRenderer, Score>("scoreboard");
    RegisterArchetype<Transform, TextRenderer, InstructionsTimer>("instructions");

    Entity ship = CreateEntity("ship");
    Transform& shipAt = ship.GetComponent<Transform>();
    shipAt.x = kShipStartX;
    shipAt.y = kShipStartY;
    ship.GetComponent<SpriteRenderer>().sprite = "ship";
    AddToGroup(ship, "ship");

    // The scoreboard joins no group: systems find it by its Score.
    Entity scoreboard = CreateEntity("scoreboard");
    Transform& scoreAt = scoreboard.GetComponent<Transform>();
    scoreAt.x = kScoreX;
    scoreAt.y = kScoreY;
    scoreboard.GetComponent<TextRenderer>().text = "Score: 0";

    ShowMessage(world, "Press UP, DOWN, LEFT, RIGHT to fly.", kOpeningX, kOpeningY, kOpeningFrames);
}
