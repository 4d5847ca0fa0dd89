#include "GameplayField.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "CrowdPlacement.h"
#include "ScriptedPilot.h"
#include "game/Components.h"
#include "game/EntityCreator.h"
#include "game/Names.h"
#include "game/Playfield.h"
#include "game/VoidrockSpawnSystem.h"
#include "platform/SDLton.h"
#include "render/EventSystem.h"
#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"

GameplayField::GameplayField(std::int64_t voidrocks, std::uint32_t seed)
    : crowd(voidrocks), random(seed), scene(std::make_shared<VoidrocksScene>()) {
    std::srand(seed);
    scene->world.singletons = std::make_shared<SingletonMap>();
    AddSingletonTo<SDLton>(*scene->world.singletons);
    GetSingletonFrom<SDLton>(*scene->world.singletons)->keyboard = keys.data();
    scene->Setup();
    // The frame's own list, less what reads the platform's events or draws.
    std::erase_if(scene->systems, [](const std::shared_ptr<System>& system) {
        return dynamic_cast<EventSystem*>(system.get()) != nullptr ||
               dynamic_cast<RenderSys*>(system.get()) != nullptr ||
               dynamic_cast<TextRenderSystem*>(system.get()) != nullptr;
    });
    Tend();
}

void GameplayField::Frame() {
    const PilotKeys pilot = PilotKeysAt(frame);
    keys[SDL_SCANCODE_RIGHT] = pilot.clockwise;
    keys[SDL_SCANCODE_LEFT] = pilot.anticlockwise;
    keys[SDL_SCANCODE_UP] = pilot.forward;
    keys[SDL_SCANCODE_SPACE] = pilot.fire;
    scene->RunFrame();
    ++frame;
}

void GameplayField::Tend() {
    World& world = scene->world;
    const Group ships = world.groups[kShipGroup];
    if (ships.empty()) {
        return;
    }
    const Transform& ship = ships.begin()->GetComponent<Transform>();
    const Group voidrocks = world.groups[kVoidrockGroup];
    std::vector<EntityId> surplus;
    std::int64_t count = 0;
    for (const Entity& v : voidrocks) {
        if (++count > crowd) {
            surplus.push_back(v.id);
            continue;
        }
        Transform& t = v.GetComponent<Transform>();
        if (NearShip(ship.x, ship.y, t.x, t.y, v.GetComponent<Voidrock>().size)) {
            t.x = AcrossTheArea(t.x);
        }
    }
    for (const EntityId id : surplus) {
        world.DestroyEntity(id);
    }
    auto* creator = scene->GetSceneSingleton<EntityCreator>();
    for (; count < crowd; ++count) {
        const Drift drift = DrawVoidrockDrift();
        const std::int32_t size = DrawVoidrockSize();
        const Spot at = PlaceAwayFromShip(random, ship.x, ship.y, size);
        creator->CreateVoidrock(at.x, at.y, drift.vx, drift.vy, size);
    }
}

bool GameplayField::ShipAlive() {
    return !scene->world.groups[kShipGroup].empty() && !scene->world.quit;
}

std::size_t GameplayField::Bullets() {
    return scene->world.groups[kBulletGroup].size();
}
