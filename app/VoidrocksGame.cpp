#include "app/VoidrocksGame.h"

#include <cstdio>

#include "app/SDLton.h"
#include "game/Names.h"
#include "game/VoidrocksScene.h"

namespace {

struct SpriteEntry {
    const char* name;
    const char* path;
    SDL_Rect source;
};

constexpr SDL_Rect kShipSource{0, 0, 48, 48};
constexpr SDL_Rect kVoidrockSource{0, 0, 48, 48};

constexpr SpriteEntry kSprites[] = {
    {kShipSprite, "Assets/ship-a1.png", kShipSource},
    {kShipAccelSprite, "Assets/ship-a2.png", kShipSource},
    {kShipReverseSprite, "Assets/ship-a3.png", kShipSource},
    {kShipReloadingSprite, "Assets/ship-a4.png", kShipSource},
    {kShipAccelReloadingSprite, "Assets/ship-a5.png", kShipSource},
    {kShipReverseReloadingSprite, "Assets/ship-a6.png", kShipSource},
    {kBigVoidrockSprite, "Assets/big-a.png", kVoidrockSource},
    {kMediumVoidrockSprite, "Assets/med-a.png", kVoidrockSource},
    {kSmallVoidrockSprite, "Assets/small-a.png", kVoidrockSource},
    {kBulletSprite, "Assets/bullet-b1.png", {0, 0, 16, 16}},
    {kExplosionSprite, "Assets/explosions-a5.png", {0, 0, 32, 32}},
};

}  // namespace

void LoadGameSprites(SDLton& sdl) {
    for (const SpriteEntry& entry : kSprites) {
        sdl.LoadSprite(entry.name, entry.path, entry.source);
    }
}

void VoidrocksGame::Init() {
    AddSingleton<SDLton>();
    SDLton* sdl = GetSingleton<SDLton>();
    OpenPlatform(*sdl);
    LoadGameSprites(*sdl);
    AddScene<VoidrocksScene>(kVoidrocksSceneName);
}

void VoidrocksGame::Shutdown() {
    ClosePlatform(*GetSingleton<SDLton>());
}

int RunVoidrocks() {
    VoidrocksGame game;
    try {
        game.Run(kVoidrocksSceneName);
    } catch (const PlatformError& error) {
        std::fprintf(stderr, "Voidrocks cannot start: %s\n", error.what());
        return 1;
    }
    return 0;
}
