#pragma once

#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/SDLton.h"
#include "app/Singleton.h"
#include "ecs/EntityCreator.h"
#include "game/Components.h"
#include "game/VoidrocksScene.h"
#include "render/EventSystem.h"
#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"

// The game scene without a platform: the real Setup and the real frame loop, minus the three
// systems that need a window (events, sprites, texts). The keyboard is this object's array.
class Gameplay {
  public:
    Gameplay() {
        scene->world.singletons = std::make_shared<SingletonMap>();
        AddSingletonTo<SDLton>(*scene->world.singletons);
        GetSingletonFrom<SDLton>(*scene->world.singletons)->keyboard = keys.data();
        scene->Setup();
        std::erase_if(scene->systems, [](const std::shared_ptr<System>& s) {
            return dynamic_cast<EventSystem*>(s.get()) != nullptr ||
                   dynamic_cast<RenderSys*>(s.get()) != nullptr ||
                   dynamic_cast<TextRenderSystem*>(s.get()) != nullptr;
        });
    }

    World& world() { return scene->world; }

    template <typename S>
    S& SystemOf() {
        for (const auto& s : scene->systems) {
            if (auto* found = dynamic_cast<S*>(s.get())) {
                return *found;
            }
        }
        throw std::logic_error("no such system");
    }

    // One system's update, then the destruction of what it queued, as the frame loop does.
    template <typename S>
    void Run() {
        S& system = SystemOf<S>();
        system.Update();
        Drain(system);
    }

    void Drain(System& system) {
        for (const Entity& e : system.destroyQueue) {
            world().DestroyEntity(e.id);
        }
        system.destroyQueue.clear();
    }

    // A whole frame of the gameplay systems, in the game's order.
    bool Frame() { return scene->RunFrame(); }

    std::vector<Entity> Members(const std::string& group) {
        const Group& g = world().groups[group];
        return {g.begin(), g.end()};
    }

    std::size_t Count(const std::string& group) { return world().groups[group].size(); }

    Entity Ship() {
        const std::vector<Entity> ships = Members("ship");
        if (ships.size() != 1) {
            throw std::logic_error("expected exactly one ship");
        }
        return ships.front();
    }
    Transform& ShipAt() { return Ship().GetComponent<Transform>(); }
    ::Ship& Gun() { return Ship().GetComponent<::Ship>(); }
    std::string ShipSprite() { return Ship().GetComponent<SpriteRenderer>().sprite; }

    Entity AddVoidrock(float x, float y, std::int32_t size) {
        Entity v = world().CreateEntity("voidrock");
        Transform& t = v.GetComponent<Transform>();
        t.x = x;
        t.y = y;
        v.GetComponent<Voidrock>().size = size;
        world().AddToGroup(v, "voidrock");
        return v;
    }

    Entity AddBullet(float x, float y) {
        Entity b = world().CreateEntity("bullet");
        Transform& t = b.GetComponent<Transform>();
        t.x = x;
        t.y = y;
        b.GetComponent<SpriteRenderer>().sprite = "bullet";
        world().AddToGroup(b, "bullet");
        return b;
    }

    std::int32_t ScoreValue() {
        const EntitySet& boards = *world().GetEntities<Score>();
        return boards.begin()->GetComponent<Score>().value;
    }

    std::string ScoreText() {
        const EntitySet& boards = *world().GetEntities<Score>();
        return boards.begin()->GetComponent<TextRenderer>().text;
    }

    // Instruction texts currently in the group with the given text.
    std::vector<Entity> Messages(const std::string& text) {
        std::vector<Entity> found;
        for (const Entity& e : Members("instructions")) {
            if (e.GetComponent<TextRenderer>().text == text) {
                found.push_back(e);
            }
        }
        return found;
    }

    void Press(SDL_Scancode key, bool down = true) { keys[key] = down; }
    void ReleaseAll() { keys.fill(false); }

    std::array<bool, SDL_SCANCODE_COUNT> keys{};
    std::shared_ptr<VoidrocksScene> scene = std::make_shared<VoidrocksScene>();
};
