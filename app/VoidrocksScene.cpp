#include "app/VoidrocksScene.h"

#include "game/BulletSystem.h"
#include "game/Components.h"
#include "game/DestroySystem.h"
#include "game/EntityCreator.h"
#include "game/Message.h"
#include "game/MovementSystem.h"
#include "game/Names.h"
#include "game/PhysicsSystem.h"
#include "game/Playfield.h"
#include "game/ScoreSystem.h"
#include "game/VoidrockContainmentSystem.h"
#include "game/VoidrockSpawnSystem.h"
#include "render/EventSystem.h"
#include "render/InstructionsSystem.h"
#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"

namespace {
constexpr float kScoreX = 20.0f;
constexpr float kScoreY = 20.0f;
}  // namespace

void RegisterGameComponents(Scene& scene) {
    scene.RegisterComponent<Transform, SpriteRenderer, Voidrock, DestroyTimer, TextRenderer, Score,
                            InstructionsTimer, Ship>();
}

void RegisterGameArchetypes(Scene& scene) {
    scene.RegisterArchetype<Transform, SpriteRenderer, Ship>(kShipArchetype);
    scene.RegisterArchetype<Transform, SpriteRenderer, Voidrock>(kVoidrockArchetype);
    scene.RegisterArchetype<Transform, SpriteRenderer>(kBulletArchetype);
    scene.RegisterArchetype<Transform, SpriteRenderer, DestroyTimer>(kExplosionArchetype);
    scene.RegisterArchetype<Transform, TextRenderer, Score>(kScoreboardArchetype);
    scene.RegisterArchetype<Transform, TextRenderer, InstructionsTimer>(kInstructionsArchetype);
}

void VoidrocksScene::Setup() {
    RegisterGameComponents(*this);
    // The order of a frame, each system seeing what the ones before it did in this frame:
    //  1. EventSystem: input first; draining the events also refreshes the keyboard state.
    //  2. VoidrockSpawnSystem: releases a voidrock when one is due.
    //  3. VoidrockContainmentSystem: wraps the voidrocks, then settles hits and the ship's
    //     end on the positions the previous frame's physics left.
    //  4. ScoreSystem: right after the hits, so a point shows in the frame it is scored.
    //  5. DestroySystem: after the hits, so an explosion is counted down in its first frame.
    //  6. BulletSystem: removes bullets that physics carried off the field last frame.
    //  7. MovementSystem: reads the keys, fires, and puts the ship back inside its band.
    //  8. PhysicsSystem: moves every body, the new bullet included.
    //  9. InstructionsSystem: after gameplay, so a message put up this frame is drawn this frame.
    // 10. RenderSys: clears the canvas and draws the sprites where physics left them.
    // 11. TextRenderSystem: the texts over the sprites, then presents: presentation last.
    AddSystems<EventSystem, VoidrockSpawnSystem, VoidrockContainmentSystem, ScoreSystem,
               DestroySystem, BulletSystem, MovementSystem, PhysicsSystem, InstructionsSystem,
               RenderSys, TextRenderSystem>("");
    AddSceneSingleton<EntityCreator>();
    RegisterGameArchetypes(*this);

    Entity ship = CreateEntity(kShipArchetype);
    Transform& shipAt = ship.GetComponent<Transform>();
    shipAt.x = kShipStartXPixels;
    shipAt.y = kShipStartYPixels;
    ship.GetComponent<SpriteRenderer>().sprite = kShipSprite;
    AddToGroup(ship, kShipGroup);

    // The scoreboard joins no group: systems find it by its Score.
    Entity scoreboard = CreateEntity(kScoreboardArchetype);
    Transform& scoreAt = scoreboard.GetComponent<Transform>();
    scoreAt.x = kScoreX;
    scoreAt.y = kScoreY;
    scoreboard.GetComponent<TextRenderer>().text = ScoreboardText(0);

    ShowMessage(world, kOpeningMessage);
}
