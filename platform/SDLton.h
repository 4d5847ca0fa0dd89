#pragma once

#include <SDL3/SDL.h>
#include <SDL3_ttf/SDL_ttf.h>

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ecs/Singleton.h"
#include "platform/Canvas.h"

// A named rectangle of a loaded image.
struct Sprite {
    SDL_Texture* texture = nullptr;
    SDL_Rect source{};
};

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

// Raised when the video subsystem, the window or the renderer cannot be had: without them the
// game would run on invisibly.
class PlatformError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The platform context: window, renderer, canvas, font, keyboard and the sprite store.
// Every texture belongs to the renderer and goes with it.
struct SDLton : Singleton {
    // Indexed by scancode; kept current by the event polling at the start of each frame.
    const bool* keyboard = nullptr;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    // The 1920 x 1080 canvas every frame is drawn into before it is scaled into the window,
    // made on first use (CanvasTexture): on SDL's software renderer the sprite canvas takes its
    // place, and it is never made.
    SDL_Texture* target = nullptr;
    Rgb background{10, 18, 40};
    TTF_Font* font = nullptr;
    // Image path to texture; an entry whose load failed holds null and is not tried again.
    std::unordered_map<std::string, SDL_Texture*> textures;
    std::unordered_map<std::string, Sprite> sprites;
    // The time between paced frames when the game waits for them itself (0: it does not), and
    // when the last frame was due.
    Uint64 frameIntervalNs = 0;
    Uint64 lastPresentNs = 0;

    // Loads the image unless its path was seen before, then names the rectangle.
    void LoadSprite(std::string name, std::string path, SDL_Rect source);
    // Loads one image into a nearest-sampled texture; failures are printed and leave null.
    void LoadTexture(std::string path);
};

// Opens video, the resizable "Voidrocks" window, its renderer with vertical sync, the canvas,
// the font and the keyboard state. Throws PlatformError (with SDL's error) when the video
// subsystem, the window or the renderer cannot be created; a missing font is not fatal, and a
// font in which one of `texts` would not fit the canvas counts as missing.
void OpenPlatform(SDLton& sdl, std::span<const std::string_view> texts);

// Closes the font, the renderer with every texture, and the window, then quits SDL.
void ClosePlatform(SDLton& sdl);

// Whether the renderer is SDL's software one, which draws with the processor into memory.
bool DrawsInSoftware(SDL_Renderer* renderer);

// The format a frame is drawn in: on SDL's software renderer the one it presents in, so that
// a frame reaches the window as a plain copy of its rows; elsewhere RGBA8888.
SDL_PixelFormat CanvasFormat(SDL_Renderer* renderer);

// The canvas texture, made when first asked for; null with SDL's error when it cannot be made.
SDL_Texture* CanvasTexture(SDLton& sdl);
