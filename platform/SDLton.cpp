#include "platform/SDLton.h"

#include <cstdio>
#include <cstring>

#include "platform/FramePacing.h"
#include "platform/GameFont.h"
#include "platform/Letterbox.h"
#include "platform/PngCheck.h"
#include "platform/RendererChoice.h"
#include "platform/VideoDriverChoice.h"

namespace {

constexpr const char* kWindowTitle = "Voidrocks";

[[noreturn]] void Fail(SDLton& sdl, const std::string& what) {
    const std::string message = what + ": " + SDL_GetError();
    ClosePlatform(sdl);
    throw PlatformError(message);
}

// The canvas's own size, or on a smaller screen the largest of its shape that fits the
// display's usable area, so that the whole canvas is seen from the first frame.
CanvasPlacement WindowSize() {
    SDL_Rect usable{};
    if (!SDL_GetDisplayUsableBounds(SDL_GetPrimaryDisplay(), &usable) ||
        (usable.w >= kCanvasWidth && usable.h >= kCanvasHeight) || usable.w <= 0 || usable.h <= 0) {
        return {0, 0, kCanvasWidth, kCanvasHeight};
    }
    return FitCanvas(usable.w, usable.h);
}

}  // namespace

void OpenPlatform(SDLton& sdl, std::span<const std::string_view> texts) {
    SkipUnreachableWayland();
    SkipComposeTable();
    // EGL's devices are listed while the display is opened.
    StartEglDeviceProbe();
    if (!SDL_Init(SDL_INIT_VIDEO)) {
        Fail(sdl, "cannot start SDL video");
    }
    const CanvasPlacement size = WindowSize();
    sdl.window = SDL_CreateWindow(kWindowTitle, size.w, size.h, SDL_WINDOW_RESIZABLE);
    if (sdl.window == nullptr) {
        Fail(sdl, "cannot create the window");
    }
    sdl.renderer = CreateGameRenderer(sdl.window);
    if (sdl.renderer == nullptr) {
        Fail(sdl, "cannot create the renderer");
    }
    SDL_SetRenderDrawColor(sdl.renderer, 255, 255, 255, 255);
    TTF_Init();
    // Without the font every text is invisible; say why, in the style of the image messages,
    // and go on.
    sdl.font = OpenGameFont(kGameFontPath, kGameFontPoints, texts);
    if (sdl.font == nullptr) {
        std::printf("Unable to load font %s! SDL_ttf Error: %s\n", kGameFontPath, SDL_GetError());
    }
    sdl.keyboard = SDL_GetKeyboardState(nullptr);
    // The only pacing of the frame loop.
    SetFramePacing(sdl, true);
}

void ClosePlatform(SDLton& sdl) {
    FinishEglDeviceProbe();
    if (sdl.font != nullptr) {
        TTF_CloseFont(sdl.font);
    }
    // Takes the canvas, the images and the text textures with it.
    if (sdl.renderer != nullptr) {
        SDL_DestroyRenderer(sdl.renderer);
    }
    if (sdl.window != nullptr) {
        SDL_DestroyWindow(sdl.window);
    }
    sdl.window = nullptr;
    sdl.renderer = nullptr;
    sdl.target = nullptr;
    SDL_Quit();
}

// On SDL's software renderer, the format it presents in: from a canvas in that format a frame
// reaches the window as a plain copy of its rows rather than pixel by pixel. Elsewhere the
// format the game has always drawn in.
bool DrawsInSoftware(SDL_Renderer* renderer) {
    const char* name = SDL_GetRendererName(renderer);
    return name != nullptr && std::strcmp(name, SDL_SOFTWARE_RENDERER) == 0;
}

SDL_PixelFormat CanvasFormat(SDL_Renderer* renderer) {
    const auto* formats = static_cast<const SDL_PixelFormat*>(SDL_GetPointerProperty(
        SDL_GetRendererProperties(renderer), SDL_PROP_RENDERER_TEXTURE_FORMATS_POINTER, nullptr));
    if (DrawsInSoftware(renderer) && formats != nullptr && formats[0] != SDL_PIXELFORMAT_UNKNOWN) {
        return formats[0];
    }
    return SDL_PIXELFORMAT_RGBA8888;
}

SDL_Texture* CanvasTexture(SDLton& sdl) {
    if (sdl.target == nullptr) {
        sdl.target = SDL_CreateTexture(sdl.renderer, CanvasFormat(sdl.renderer),
                                       SDL_TEXTUREACCESS_TARGET, kCanvasWidth, kCanvasHeight);
        // Every pixel of the canvas is opaque: it is copied into the window without blending.
        SDL_SetTextureBlendMode(sdl.target, SDL_BLENDMODE_NONE);
    }
    return sdl.target;
}

void SDLton::LoadSprite(std::string name, std::string path, SDL_Rect source) {
    if (!textures.contains(path)) {
        LoadTexture(path);
    }
    sprites[name] = Sprite{textures[path], source};
}

void SDLton::LoadTexture(std::string path) {
    SDL_Texture*& texture = textures[path];
    if (texture != nullptr) {
        return;
    }
    // Checked before decoding: a hostile file must neither hang, nor stall, nor exhaust memory.
    SDL_Surface* surface = LoadCheckedPng(path, MaxTextureSide(renderer));
    if (surface == nullptr) {
        std::printf("Unable to load image %s! SDL_image Error: %s\n", path.c_str(), SDL_GetError());
    } else {
        texture = SDL_CreateTextureFromSurface(renderer, surface);
        if (texture == nullptr) {
            std::printf("Unable to create texture from %s! SDL Error: %s\n", path.c_str(),
                        SDL_GetError());
        }
        SDL_DestroySurface(surface);
    }
    SDL_SetTextureScaleMode(texture, SDL_SCALEMODE_NEAREST);
}
