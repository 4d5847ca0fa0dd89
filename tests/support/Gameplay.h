#pragma once

#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/VoidrocksScene.h"
#include "ecs/Singleton.h"
#include "game/Components.h"
#include "game/EntityCreator.h"
#include "platform/SDLton.h"
#include "render/EventSystem.h"
#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"

// A Transform's six floats, for exact comparison.
inline std::array<float, 6> TransformBits(const Transform& t) {
    return std::bit_cast<std::array<float, 6>>(t);
}

inline void ExpectNear(const std::vector<float>& got, const std::vector<float>& want, float tol) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i], want[i], tol) << "element " << i;
    }
}

// The real scene and frame loop minus the three systems that need a window; keys is the keyboard.
struct Gameplay {
    Gameplay() {
        TheWorld().singletons = std::make_shared<SingletonMap>();
        AddSingletonTo<SDLton>(*TheWorld().singletons);
        GetSingletonFrom<SDLton>(*TheWorld().singletons)->keyboard = keys.data();
        scene->Setup();
        std::erase_if(scene->systems, [](const std::shared_ptr<System>& s) {
            return dynamic_cast<EventSystem*>(s.get()) || dynamic_cast<RenderSys*>(s.get()) ||
                   dynamic_cast<TextRenderSystem*>(s.get());
        });
    }
    Gameplay(const Gameplay&) = delete;  // the scene holds a pointer to keys
    World& TheWorld() { return scene->world; }
    template <typename S>
    S& Sys() {
        return *scene->FindSystem<S>();
    }
    // One system's update, then the destruction it queued, as in the frame loop.
    template <typename S>
    void Run() {
        Sys<S>().Update();
        for (const Entity& e : std::exchange(Sys<S>().destroyQueue, {})) {
            TheWorld().DestroyEntity(e.id);
        }
    }
    bool Frame() { return scene->RunFrame(); }
    std::vector<Entity> Of(const std::string& group) {
        return {TheWorld().groups[group].begin(), TheWorld().groups[group].end()};
    }
    std::size_t Count(const std::string& group) { return TheWorld().groups[group].size(); }
    Transform& ShipAt() { return Of("ship").at(0).GetComponent<Transform>(); }
    ::Ship& Gun() { return Of("ship").at(0).GetComponent<::Ship>(); }
    std::string Sprite() { return Of("ship").at(0).GetComponent<SpriteRenderer>().sprite; }
    Entity Add(const char* archetype, float x, float y) {
        Entity e = TheWorld().CreateEntity(archetype);
        e.GetComponent<Transform>() = {.x = x, .y = y};
        TheWorld().AddToGroup(e, archetype);
        return e;
    }
    Entity Rock(float x, float y, std::int32_t size) {
        Entity v = Add("voidrock", x, y);
        v.GetComponent<Voidrock>().size = size;
        return v;
    }
    Entity Bullet(float x, float y) { return Add("bullet", x, y); }
    Entity Board() { return *TheWorld().GetEntities<::Score>()->begin(); }
    std::int32_t Score() { return Board().GetComponent<::Score>().value; }
    std::vector<Entity> Texts(const std::string& text) {
        std::vector<Entity> found = Of("instructions");
        std::erase_if(found,
                      [&](const Entity& e) { return e.GetComponent<TextRenderer>().text != text; });
        return found;
    }
    void Press(SDL_Scancode key, bool down = true) { keys[key] = down; }

    std::array<bool, SDL_SCANCODE_COUNT> keys{};
    std::shared_ptr<VoidrocksScene> scene = std::make_shared<VoidrocksScene>();
};
