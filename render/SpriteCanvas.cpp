#include "render/SpriteCanvas.h"

#include <cstdint>
#include <cstring>

#include "app/Canvas.h"

namespace {

constexpr const char* kCanvasProperty = "voidrocks.sprite_canvas";
// The sprite cache copies its images in this format.
constexpr SDL_PixelFormat kCanvasFormat = SDL_PIXELFORMAT_ARGB8888;

bool SameColour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

}  // namespace

// Called when the renderer goes: its textures went just before.
void DropSpriteCanvas(void*, void* value) {
    auto* canvas = static_cast<SpriteCanvas*>(value);
    canvas->ownsTexture = false;
    delete canvas;
}

SpriteCanvas::SpriteCanvas(SDL_Renderer* renderer, SDL_Texture* texture)
    : renderer(renderer), texture(texture) {
    // Every pixel of it is opaque and replaces what was on the canvas.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
}

SpriteCanvas::~SpriteCanvas() {
    if (ownsTexture) {
        SDL_DestroyTexture(texture);
    }
}

SpriteCanvas* SpriteCanvas::For(SDL_Renderer* renderer) {
    const char* name = SDL_GetRendererName(renderer);
    if (name == nullptr || std::strcmp(name, SDL_SOFTWARE_RENDERER) != 0) {
        return nullptr;
    }
    const SDL_PropertiesID props = SDL_GetRendererProperties(renderer);
    auto* canvas =
        static_cast<SpriteCanvas*>(SDL_GetPointerProperty(props, kCanvasProperty, nullptr));
    if (canvas == nullptr) {
        SDL_Texture* texture = SDL_CreateTexture(
            renderer, kCanvasFormat, SDL_TEXTUREACCESS_STREAMING, kCanvasWidth, kCanvasHeight);
        if (texture == nullptr) {
            return nullptr;
        }
        canvas = new SpriteCanvas(renderer, texture);
        if (!SDL_SetPointerPropertyWithCleanup(props, kCanvasProperty, canvas, DropSpriteCanvas,
                                               nullptr)) {
            return nullptr;  // the cleanup has already deleted it
        }
    }
    return canvas;
}

SDL_Surface* SpriteCanvas::Begin(SDL_Color background) {
    if (locked == nullptr && !SDL_LockTextureToSurface(texture, nullptr, &locked)) {
        locked = nullptr;
        return nullptr;
    }
    const Uint32 colour =
        SDL_MapSurfaceRGBA(locked, background.r, background.g, background.b, background.a);
    std::int64_t area = 0;
    for (const SDL_Rect& r : drawn) {
        area += static_cast<std::int64_t>(r.w) * r.h;
    }
    // Crowded, the rectangles overlap: one fill of the whole canvas costs less.
    if (wholeDirty || !SameColour(background, lastBackground) ||
        area >= static_cast<std::int64_t>(kCanvasWidth) * kCanvasHeight) {
        SDL_FillSurfaceRect(locked, nullptr, colour);
    } else if (!drawn.empty()) {
        SDL_FillSurfaceRects(locked, drawn.data(), static_cast<int>(drawn.size()), colour);
    }
    drawn.clear();
    wholeDirty = false;
    lastBackground = background;
    return locked;
}

void SpriteCanvas::Drew(const SDL_Rect& where) {
    const SDL_Rect whole{0, 0, kCanvasWidth, kCanvasHeight};
    SDL_Rect clipped;
    if (SDL_GetRectIntersection(&where, &whole, &clipped)) {
        drawn.push_back(clipped);
    }
}

void SpriteCanvas::End(SDL_Texture* target) {
    if (locked != nullptr) {
        SDL_UnlockTexture(texture);
        locked = nullptr;
    }
    SDL_SetRenderTarget(renderer, target);
    SDL_RenderTexture(renderer, texture, nullptr, nullptr);
}
