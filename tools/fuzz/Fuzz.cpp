// Arbitrary bytes as one of the game's assets: an image file for the asset store, or the font
// for the text system. The first byte chooses: 'F' for the font, anything else an image.
// Built with libFuzzer by `make fuzz`; what it finds goes to tests/platform/hostile.

#include <SDL3/SDL.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

#include "driver/SteppedGame.h"
#include "game/Components.h"
#include "platform/GameFont.h"

namespace {

std::unique_ptr<SteppedGame> gGame;
std::filesystem::path gFolder;
std::int64_t gInputs = 0;

void Write(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Loads the bytes as an image, under a path of its own so that the store tries it afresh.
void AsImage(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = gFolder / "image.png";
    Write(path, data, size);
    SDLton& sdl = gGame->Platform();
    sdl.textures.erase(path.string());
    sdl.LoadTexture(path.string());
    SDL_Texture* texture = sdl.textures[path.string()];
    if (texture != nullptr) {
        SDL_DestroyTexture(texture);
    }
    sdl.textures.erase(path.string());
}

// Opens the bytes as the game opens its font, checks included, and lets the game's text system
// render a changed score with it for one frame.
void AsFont(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = gFolder / "font.ttf";
    Write(path, data, size);
    TTF_Font* font = OpenGameFont(path.string(), kGameFontPoints, GameTexts());
    if (font == nullptr) {
        return;
    }
    SDLton& sdl = gGame->Platform();
    TTF_Font* own = sdl.font;
    sdl.font = font;
    World& world = gGame->GameScene().world;
    for (const Entity& board : *world.GetEntities<Score>()) {
        board.GetComponent<Score>().value = static_cast<std::int32_t>(++gInputs);
    }
    gGame->Step();
    sdl.font = own;
    TTF_CloseFont(font);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEO_DRIVER", "dummy", 1);
    // The load messages would drown the fuzzer's own output.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        return 1;
    }
    SDL_SetLogPriorities(SDL_LOG_PRIORITY_CRITICAL);
    char folder[] = "/tmp/voidrocks-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return 1;
    }
    gFolder = folder;
    // The run ends through exit(): the folder goes with it. After a crash it stays behind, with
    // nothing in it that the crash's own saved input does not hold.
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(gFolder, ignored);
    });
    gGame = std::make_unique<SteppedGame>();
    SDL_SetWindowSize(gGame->Platform().window, 192, 108);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0 && data[0] == 'F') {
        AsFont(data + 1, size - 1);
    } else {
        AsImage(data + (size > 0 ? 1 : 0), size > 0 ? size - 1 : 0);
    }
    return 0;
}
