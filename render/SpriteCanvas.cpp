#include "render/SpriteCanvas.h"

#include <cstdint>
#include <cstring>

#include "platform/Canvas.h"

namespace {

constexpr const char* kCanvasProperty = "voidrocks.sprite_canvas";
// The sprite cache copies its images in this format.
constexpr SDL_PixelFormat kCanvasFormat = SDL_PIXELFORMAT_ARGB8888;

bool SameColour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

std::int64_t AreaOf(const std::vector<SDL_Rect>& rects) {
    std::int64_t area = 0;
    for (const SDL_Rect& r : rects) {
        area += static_cast<std::int64_t>(r.w) * r.h;
    }
    return area;
}

constexpr std::int64_t kCanvasArea = static_cast<std::int64_t>(kCanvasWidth) * kCanvasHeight;

// Clipped to the canvas; false when nothing of it is on it.
bool OnCanvas(const SDL_Rect& where, SDL_Rect& clipped) {
    const SDL_Rect whole{0, 0, kCanvasWidth, kCanvasHeight};
    return SDL_GetRectIntersection(&where, &whole, &clipped);
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

SpriteCanvas* SpriteCanvas::Find(SDL_Renderer* renderer) {
    return static_cast<SpriteCanvas*>(
        SDL_GetPointerProperty(SDL_GetRendererProperties(renderer), kCanvasProperty, nullptr));
}

SpriteCanvas* SpriteCanvas::For(SDL_Renderer* renderer) {
    const char* name = SDL_GetRendererName(renderer);
    if (name == nullptr || std::strcmp(name, SDL_SOFTWARE_RENDERER) != 0) {
        return nullptr;
    }
    const SDL_PropertiesID props = SDL_GetRendererProperties(renderer);
    SpriteCanvas* canvas = Find(renderer);
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
    if (!SameColour(background, lastBackground)) {
        wholeDirty = true;
    }
    // Crowded, the rectangles overlap: one fill of the whole canvas costs less.
    if (wholeDirty || 2 * AreaOf(drawn) >= kCanvasArea) {
        SDL_FillSurfaceRect(locked, nullptr, colour);
    } else if (!drawn.empty()) {
        SDL_FillSurfaceRects(locked, drawn.data(), static_cast<int>(drawn.size()), colour);
    }
    wholeCopy = wholeCopy || wholeDirty;
    drawnBefore.swap(drawn);
    drawn.clear();
    wholeDirty = false;
    lastBackground = background;
    return locked;
}

void SpriteCanvas::Drew(const SDL_Rect& where) {
    SDL_Rect clipped;
    if (OnCanvas(where, clipped)) {
        drawn.push_back(clipped);
    }
}

void SpriteCanvas::DrewOver(const SDL_Rect& where) {
    SDL_Rect clipped;
    if (OnCanvas(where, clipped)) {
        drawnOver.push_back(clipped);
    }
}

void SpriteCanvas::End(SDL_Texture* target) {
    if (locked != nullptr) {
        SDL_UnlockTexture(texture);
        locked = nullptr;
    }
    SDL_SetRenderTarget(renderer, target);
    // Elsewhere the target already holds what this canvas holds.
    if (wholeCopy || AreaOf(drawn) + AreaOf(drawnBefore) + AreaOf(drawnOver) >= kCanvasArea / 2) {
        SDL_RenderTexture(renderer, texture, nullptr, nullptr);
    } else {
        for (const std::vector<SDL_Rect>* rects : {&drawnBefore, &drawn, &drawnOver}) {
            for (const SDL_Rect& r : *rects) {
                const SDL_FRect at{static_cast<float>(r.x), static_cast<float>(r.y),
                                   static_cast<float>(r.w), static_cast<float>(r.h)};
                SDL_RenderTexture(renderer, texture, &at, &at);
            }
        }
    }
    wholeCopy = false;
    drawnOver.clear();
}
