#pragma once

#include <SDL3/SDL.h>

#include <cstdint>
#include <vector>

#include "render/SpriteCache.h"

// The memory the sprites are drawn into on SDL's software renderer: a streaming texture of the
// canvas's size that the sprite cache's images are copied into, instead of through one blended
// copy per sprite. Then it is copied onto the canvas unblended, which replaces the clear.
//
// A crowded canvas hides most of its sprites under others: the sprites of a pass are drawn top
// one first, each pixel only where no sprite above it has drawn, so that every pixel is written
// once however many sprites lie on it. Between frames the memory keeps its pixels, so only
// where sprites were and are no more is given back to the background. Only where sprites are
// or were, and where texts were drawn over the canvas since, is copied onto the canvas, unless
// that is half of it. Whatever draws on the canvas after the sprites says where (DrewOver).
class SpriteCanvas {
  public:
    SpriteCanvas(SDL_Renderer* renderer, SDL_Texture* texture);
    ~SpriteCanvas();
    SpriteCanvas(const SpriteCanvas&) = delete;
    SpriteCanvas& operator=(const SpriteCanvas&) = delete;

    // The renderer's sprite canvas for the target, made on first use in the target's format and
    // gone with the renderer; null for any renderer but SDL's software one, for a format the
    // sprite cache's images cannot be copied into, or when its texture cannot be made.
    static SpriteCanvas* For(SDL_Renderer* renderer, const SDL_Texture* target);

    // Starts a pass over this background; false when the canvas's memory cannot be had.
    bool Begin(SDL_Color background);
    // A sprite of the pass, drawn over those added before it; null draws nothing.
    void Add(const SpriteCache::Image* image, const SDL_FRect& destination);
    // Draws the pass and brings the target up to date: the target then holds exactly what this
    // canvas holds.
    void End(SDL_Texture* target);
    // A rectangle of the target drawn over after End, to be put back next frame.
    void DrewOver(const SDL_Rect& where);

    // The renderer's sprite canvas if it has one; never makes one.
    static SpriteCanvas* Find(SDL_Renderer* renderer);

  private:
    struct Placed {
        const SpriteCache::Image* image;
        SDL_Rect at;
    };

    // Draws the pass's sprites top one first; false when one must be blended, which only
    // drawing them bottom one first can do.
    bool DrawTopFirst();
    // Gives back to the background what sprites covered before and cover no more.
    void UncoverBackground(Uint32 colour);

    SDL_Renderer* renderer;
    SDL_Texture* texture;
    SDL_Surface* locked = nullptr;
    SDL_Color background{};
    std::vector<Placed> pass;
    // One bit per canvas pixel, a row of words per canvas row: what the sprites of this pass
    // have drawn so far, and what those of the last pass drew.
    std::vector<std::uint64_t> covered;
    std::vector<std::uint64_t> coveredBefore;
    // The rectangles of the sprites of this pass and of the last one; those drawn over the
    // target since the last End. Everything is given back and copied when they are unknown.
    std::vector<SDL_Rect> drawn;
    std::vector<SDL_Rect> drawnBefore;
    std::vector<SDL_Rect> drawnOver;
    bool wholeDirty = true;
    bool wholeCopy = true;
    // False once the renderer has taken the texture with it.
    bool ownsTexture = true;

    friend void DropSpriteCanvas(void*, void*);
};
