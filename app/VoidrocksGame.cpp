#include "app/VoidrocksGame.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/VoidrocksScene.h"
#include "game/Message.h"
#include "game/Names.h"
#include "platform/SDLton.h"
#include "platform/StandardStreams.h"

namespace {

struct SpriteEntry {
    const char* name;
    const char* path;
    SDL_Rect source;
};

// Every asset path is relative to the working directory and starts with this folder.
constexpr const char* kAssetsFolder = "Assets";

// Every text the game shows, at its longest: the messages, and the score and the phase with as
// many digits as they can have, each digit once (a font may draw one digit wider than the rest).
constexpr std::string_view kGameTexts[] = {kOpeningMessage.text, kFollowUpMessage.text,
                                           kGameOverMessage.text, "Phase 0123456789",
                                           "Score: 0123456789"};

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

std::span<const std::string_view> GameTexts() {
    return kGameTexts;
}

bool FindAssetsFolder(const std::filesystem::path& executableFolder) {
    std::error_code error;
    if (std::filesystem::is_directory(kAssetsFolder, error)) {
        return true;
    }
    // Started from elsewhere (a file manager starts a game in the home folder): the game's
    // own folder, when it has the assets, becomes the working folder, so that every asset
    // path and message stays as it is.
    if (!executableFolder.empty() &&
        std::filesystem::is_directory(executableFolder / kAssetsFolder, error)) {
        std::filesystem::current_path(executableFolder, error);
        if (!error) {
            return true;
        }
    }
    const std::filesystem::path here = std::filesystem::current_path(error);
    // As UTF-8 on every platform: Windows keeps paths as UTF-16, which %s cannot print.
    const std::u8string hereText = here.u8string(), besideText = executableFolder.u8string();
    const char* const herePath = reinterpret_cast<const char*>(hereText.c_str());
    if (executableFolder.empty()) {
        std::fprintf(stderr, "No %s folder in %s: images and font cannot be loaded\n",
                     kAssetsFolder, herePath);
    } else {
        std::fprintf(stderr, "No %s folder in %s or %s: images and font cannot be loaded\n",
                     kAssetsFolder, herePath, reinterpret_cast<const char*>(besideText.c_str()));
    }
    return false;
}

bool CheckAssetsFolder() {
    const char* base = SDL_GetBasePath();
    return FindAssetsFolder(base != nullptr ? std::filesystem::path(base)
                                            : std::filesystem::path());
}

void VoidrocksGame::Init() {
    ReopenClosedStandardStreams();
#ifdef SIGPIPE
    // A message to a closed pipe or socket is lost and the game goes on, instead of the
    // default of being killed at the write.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // Said once, before the image and font messages it explains.
    CheckAssetsFolder();
    AddSingleton<SDLton>();
    SDLton* sdl = GetSingleton<SDLton>();
    OpenPlatform(*sdl, GameTexts());
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
