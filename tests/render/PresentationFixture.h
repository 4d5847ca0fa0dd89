#pragma once

#include <SDL3/SDL.h>
#include <SDL3_image/SDL_image.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/SDLton.h"
#include "app/Scene.h"
#include "app/VoidrocksGame.h"
#include "game/Components.h"

// Shared by the presentation tests: the opened platform with the game's sprites, and a scene
// with the game's component types and archetypes that runs only the systems a test gives it.

// The game's registration order, so type indices and archetypes match the real scene.
class PresentationScene : public Scene {
  public:
    void Setup() override {
        RegisterComponent<Transform, SpriteRenderer, Voidrock, DestroyTimer, TextRenderer, Score,
                          InstructionsTimer, Ship>();
        RegisterArchetype<Transform, SpriteRenderer, Ship>("ship");
        RegisterArchetype<Transform, SpriteRenderer, Voidrock>("voidrock");
        RegisterArchetype<Transform, SpriteRenderer>("bullet");
        RegisterArchetype<Transform, SpriteRenderer, DestroyTimer>("explosion");
        RegisterArchetype<Transform, TextRenderer, Score>("scoreboard");
        RegisterArchetype<Transform, TextRenderer, InstructionsTimer>("instructions");
    }
    void Teardown() override {}
};

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_DestroySurface)>;

inline SurfacePtr OwnSurface(SDL_Surface* surface) {
    return SurfacePtr(surface, &SDL_DestroySurface);
}

struct Rgba {
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    Uint8 a = 0;

    bool SameColour(const Rgba& other) const {
        return r == other.r && g == other.g && b == other.b;
    }
};

inline Rgba PixelAt(SDL_Surface* surface, int x, int y) {
    Rgba p;
    EXPECT_TRUE(SDL_ReadSurfacePixel(surface, x, y, &p.r, &p.g, &p.b, &p.a)) << SDL_GetError();
    return p;
}

inline std::ostream& operator<<(std::ostream& out, const Rgba& p) {
    return out << "(" << int{p.r} << "," << int{p.g} << "," << int{p.b} << "," << int{p.a} << ")";
}

// White text on the navy canvas: all three channels high.
inline bool IsBright(const Rgba& p) {
    constexpr Uint8 kBrightLevel = 200;
    return p.r >= kBrightLevel && p.g >= kBrightLevel && p.b >= kBrightLevel;
}

class PresentationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AddSingletonTo<SDLton>(*singletons);
        sdl = GetSingletonFrom<SDLton>(*singletons);
        OpenPlatform(*sdl);
        LoadGameSprites(*sdl);
        // Unpaced: a test runs its frames as fast as they draw.
        SDL_SetRenderVSync(sdl->renderer, 0);
        scene = std::make_shared<PresentationScene>();
        scene->world.singletons = singletons;
        scene->Setup();
    }

    void TearDown() override { ClosePlatform(*sdl); }

    template <typename... Ss>
    void RunSystems() {
        scene->AddSystems<Ss...>("");
    }

    bool Frame() { return scene->RunFrame(); }

    World& TheWorld() { return scene->world; }

    Entity Create(const std::string& archetype) { return scene->CreateEntity(archetype); }

    // The canvas as it stands after the last frame.
    SurfacePtr ReadCanvas() {
        SDL_Texture* previous = SDL_GetRenderTarget(sdl->renderer);
        SDL_SetRenderTarget(sdl->renderer, sdl->target);
        SurfacePtr surface = OwnSurface(SDL_RenderReadPixels(sdl->renderer, nullptr));
        SDL_SetRenderTarget(sdl->renderer, previous);
        EXPECT_NE(surface, nullptr) << SDL_GetError();
        return surface;
    }

    Rgba Background() const {
        return Rgba{sdl->background.r, sdl->background.g, sdl->background.b, 255};
    }

    std::shared_ptr<SingletonMap> singletons = std::make_shared<SingletonMap>();
    SDLton* sdl = nullptr;
    std::shared_ptr<PresentationScene> scene;
};
