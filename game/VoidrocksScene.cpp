#include "game/VoidrocksScene.h"

#include "game/EntityCreator.h"
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

void RegisterGameComponents(Scene& scene) {
    scene.RegisterComponent<Transform, SpriteRenderer, Voidrock, DestroyTimer, TextRenderer, Score,
                            InstructionsTimer, Ship>();
}

void RegisterGameArchetypes(Scene& scene) {
    scene.RegisterArchetype<Transform, SpriteRenderer, Ship>("ship");
    scene.RegisterArchetype<Transform, SpriteRenderer, Voidrock>("voidrock");
    scene.RegisterArchetype<Transform, SpriteRenderer>("bullet");
    scene.RegisterArchetype<Transform, SpriteRenderer, DestroyTimer>("explosion");
    scene.RegisterArchetype<Transform, TextRenderer, Score>("scoreboard");
    scene.RegisterArchetype<Transform, TextRenderer, InstructionsTimer>("instructions");
}

void VoidrocksScene::Setup() {
    RegisterGameComponents(*this);
    // Input first, presentation last.
    AddSystems<EventSystem, VoidrockSpawnSystem, VoidrockContainmentSystem, ScoreSystem,
               DestroySystem, BulletSystem, MovementSystem, PhysicsSystem, InstructionsSystem,
               RenderSys, TextRenderSystem>("");
    AddSceneSingleton<EntityCreator>();
    RegisterGameArchetypes(*this);

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
