#include "render/RenderSys.h"

#include <cmath>

#include "game/Components.h"
#include "game/Names.h"
#include "platform/SDLton.h"
#include "render/SpriteCache.h"
#include "render/SpriteCanvas.h"

namespace {

constexpr float kSpriteScale = 4.0f;
// Bottom to top.
constexpr const char* kLayers[] = {kBulletGroup, kVoidrockGroup, kShipGroup, kExplosionGroup};

// Whether a sprite drawn w x h at (x, y), turned by any angle, can touch the canvas. Most
// voidrocks drift outside it, and skipping them saves the renderer their rotation.
bool MayTouchCanvas(float x, float y, float w, float h) {
    const float reach = std::sqrt(w * w + h * h) / 2.0f;
    return x + reach >= 0.0f && x - reach <= static_cast<float>(kCanvasWidth) &&
           y + reach >= 0.0f && y - reach <= static_cast<float>(kCanvasHeight);
}

}  // namespace

void RenderSys::Update() {
    SDLton* sdl = GetSingleton<SDLton>();
    // Only on SDL's software renderer, where the sprites are copied into memory the game
    // writes itself; GPU renderers turn and blend sprites quickly themselves.
    SpriteCache* cache = SpriteCache::For(sdl->renderer);
    SpriteCanvas* spriteCanvas =
        cache != nullptr ? SpriteCanvas::For(sdl->renderer, CanvasFormat(sdl->renderer)) : nullptr;
    if (spriteCanvas != nullptr &&
        spriteCanvas->Begin({sdl->background.r, sdl->background.g, sdl->background.b, 255})) {
        cache->NextPass();
    } else {
        spriteCanvas = nullptr;
        SDL_SetRenderTarget(sdl->renderer, CanvasTexture(*sdl));
        SDL_SetRenderDrawColor(sdl->renderer, sdl->background.r, sdl->background.g,
                               sdl->background.b, 255);
        SDL_RenderClear(sdl->renderer);
    }
    auto& transforms = world->store.ArrayOf<Transform>();
    auto& renderers = world->store.ArrayOf<SpriteRenderer>();
    for (const char* layer : kLayers) {
        for (const Entity& e : GetGroup(layer)) {
            const Sprite& sprite = sdl->sprites[renderers.Get(e.id).sprite];
            if (sprite.texture == nullptr) {
                continue;
            }
            const Transform& t = transforms.Get(e.id);
            const SDL_FRect source{
                static_cast<float>(sprite.source.x), static_cast<float>(sprite.source.y),
                static_cast<float>(sprite.source.w), static_cast<float>(sprite.source.h)};
            // Four times the source size, centred on the entity's position.
            const SDL_FRect destination{t.x - (source.w + source.w), t.y - (source.h + source.h),
                                        source.w * kSpriteScale, source.h * kSpriteScale};
            if (!MayTouchCanvas(t.x, t.y, destination.w, destination.h)) {
                continue;
            }
            if (spriteCanvas != nullptr) {
                spriteCanvas->Add(cache->Find(sprite, destination, t.rotation), destination);
            } else {
                SDL_RenderTextureRotated(sdl->renderer, sprite.texture, &source, &destination,
                                         static_cast<double>(t.rotation), nullptr, SDL_FLIP_NONE);
            }
        }
    }
    if (spriteCanvas != nullptr) {
        // Replaces the whole canvas: no clear is needed under it.
        spriteCanvas->End();
    }
}
