#pragma once

#include <SDL3/SDL.h>
#include <SDL3_image/SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "app/Scene.h"
#include "app/VoidrocksGame.h"
#include "app/VoidrocksScene.h"
#include "driver/SteppedGame.h"
#include "game/Components.h"
#include "platform/FramePacing.h"
#include "platform/SDLton.h"

// The game's component types and archetypes in its order; runs only the systems a test adds.
class PresentationScene final : public Scene {
  public:
    void Setup() override {
        RegisterGameComponents(*this);
        RegisterGameArchetypes(*this);
    }
    void Teardown() override {}
};

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_DestroySurface)>;

inline SurfacePtr LoadImage(const std::string& path) {
    return SurfacePtr(IMG_Load(path.c_str()), &SDL_DestroySurface);
}

inline SurfacePtr ReadCanvas(const SDLton& sdl) {
    SurfacePtr canvas(ReadCanvasPixels(sdl), &SDL_DestroySurface);
    EXPECT_NE(canvas, nullptr) << SDL_GetError();
    return canvas;
}

// Byte for byte, row by row (the pitches may differ).
inline bool SamePixels(SDL_Surface* a, SDL_Surface* b) {
    if (a == nullptr || b == nullptr || a->w != b->w || a->h != b->h || a->format != b->format) {
        return false;
    }
    for (int y = 0; y < a->h; ++y) {
        if (std::memcmp(static_cast<const Uint8*>(a->pixels) + y * a->pitch,
                        static_cast<const Uint8*>(b->pixels) + y * b->pitch,
                        static_cast<std::size_t>(a->w) * 4) != 0) {
            return false;
        }
    }
    return true;
}

// Equal when the colours match, whatever the alpha.
struct Rgba {
    Uint8 r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b; }
    friend std::ostream& operator<<(std::ostream& out, const Rgba& p) {
        return out << '(' << +p.r << ',' << +p.g << ',' << +p.b << ',' << +p.a << ')';
    }
};

inline Rgba PixelAt(SDL_Surface* surface, int x, int y) {
    Rgba p;
    EXPECT_TRUE(SDL_ReadSurfacePixel(surface, x, y, &p.r, &p.g, &p.b, &p.a)) << SDL_GetError();
    return p;
}

template <typename Pick>
int CountIn(SDL_Surface* s, SDL_Rect r, Pick pick) {
    int count = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            count += pick(PixelAt(s, x, y)) ? 1 : 0;
        }
    }
    return count;
}

inline constexpr SDL_Rect kWholeCanvas{0, 0, kCanvasWidth, kCanvasHeight};

// The platform with the game's sprites, unpaced, and a scene running the given systems.
template <typename... Systems>
class PresentationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AddSingletonTo<SDLton>(*singletons);
        sdl = GetSingletonFrom<SDLton>(*singletons);
        OpenPlatform(*sdl, GameTexts());
        LoadGameSprites(*sdl);
        SetFramePacing(*sdl, false);
        world.singletons = singletons;
        scene->Setup();
        scene->template AddSystems<Systems...>("");
    }
    void TearDown() override { ClosePlatform(*sdl); }

    bool Frame() { return scene->RunFrame(); }

    Entity Make(const std::string& archetype, const std::string& group, float x = 0, float y = 0) {
        Entity e = world.CreateEntity(archetype);
        e.GetComponent<Transform>() = {.x = x, .y = y};
        if (!group.empty()) {
            world.AddToGroup(e, group);
        }
        return e;
    }

    Rgba Background() const { return {sdl->background.r, sdl->background.g, sdl->background.b}; }

    std::shared_ptr<SingletonMap> singletons = std::make_shared<SingletonMap>();
    std::shared_ptr<PresentationScene> scene = std::make_shared<PresentationScene>();
    World& world = scene->world;
    SDLton* sdl = nullptr;
};
