#include "driver/SteppedGame.h"

#include <SDL3_image/SDL_image.h>

#include <cstdlib>

#include "platform/FramePacing.h"
#include "render/SpriteCanvas.h"

SDL_Surface* ReadCanvasPixels(const SDLton& sdl) {
    SDL_Surface* read = nullptr;
    // On the software renderer a frame is drawn in the sprite canvas, not the canvas texture.
    if (SpriteCanvas* spriteCanvas = SpriteCanvas::Find(sdl.renderer)) {
        read = spriteCanvas->Read();
    } else {
        if (sdl.target == nullptr) {
            SDL_SetError("no frame has been drawn");
            return nullptr;
        }
        SDL_Texture* previous = SDL_GetRenderTarget(sdl.renderer);
        SDL_SetRenderTarget(sdl.renderer, sdl.target);
        read = SDL_RenderReadPixels(sdl.renderer, nullptr);
        SDL_SetRenderTarget(sdl.renderer, previous);
    }
    // One format whatever the canvas is drawn in, so that a saved picture is the same file.
    SDL_Surface* surface =
        read != nullptr ? SDL_ConvertSurface(read, SDL_PIXELFORMAT_ARGB8888) : nullptr;
    SDL_DestroySurface(read);
    return surface;
}

SteppedGame::SteppedGame(bool paced) {
    // The generator's state when never seeded: every driven game spawns the same voidrocks as
    // the program does, however many games ran before it in this process.
    std::srand(1);
    currentScene = kVoidrocksSceneName;
    Init();
    SDLton& sdl = Platform();
    sdl.keyboard = keys.data();
    if (!paced) {
        SetFramePacing(sdl, false);
    }
    GameScene().Setup();
}

SteppedGame::~SteppedGame() {
    GameScene().Teardown();
    Shutdown();
}

bool SteppedGame::Step() {
    ++frame;
    return GameScene().RunFrame();
}

void SteppedGame::Restart() {
    Scene& scene = GameScene();
    scene.Teardown();
    scene.world.quit = false;
    scene.world.changeScene = true;
    scene.world.nextScene = currentScene;
    SwitchScene(scene).Setup();
}

Rgb SteppedGame::CanvasPixel(int x, int y) const {
    Rgb colour;
    SDL_Surface* surface = ReadCanvasPixels(Platform());
    if (surface != nullptr) {
        Uint8 alpha = 0;
        SDL_ReadSurfacePixel(surface, x, y, &colour.r, &colour.g, &colour.b, &alpha);
        SDL_DestroySurface(surface);
    }
    return colour;
}

bool SteppedGame::SaveCanvas(const std::string& path) const {
    SDL_Surface* surface = ReadCanvasPixels(Platform());
    if (surface == nullptr) {
        return false;
    }
    const bool saved = IMG_SavePNG(surface, path.c_str());
    SDL_DestroySurface(surface);
    return saved;
}
