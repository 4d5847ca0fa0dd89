#pragma once

#include <SDL3/SDL.h>

#include <vector>

// The memory the sprites are drawn into on SDL's software renderer: a streaming texture of the
// canvas's size that the sprite cache writes directly, instead of through one blended copy per
// sprite. Between frames it keeps its pixels, so only where sprites were is given back to the
// background. Then it is copied onto the canvas unblended, which replaces the clear: only where
// sprites are or were and where texts were drawn over the canvas since, unless that is half of
// it. Whatever draws on the canvas after the sprites says where (DrewOver).
class SpriteCanvas {
  public:
    SpriteCanvas(SDL_Renderer* renderer, SDL_Texture* texture);
    ~SpriteCanvas();
    SpriteCanvas(const SpriteCanvas&) = delete;
    SpriteCanvas& operator=(const SpriteCanvas&) = delete;

    // The renderer's sprite canvas, made on first use and gone with the renderer; null for any
    // renderer but SDL's software one, or when its texture cannot be made.
    static SpriteCanvas* For(SDL_Renderer* renderer);

    // The canvas's pixels, all background: null when they cannot be had.
    SDL_Surface* Begin(SDL_Color background);
    // A rectangle a sprite has drawn on, to give back to the background next frame.
    void Drew(const SDL_Rect& where);
    // Brings the target up to date with the sprites and the background: the target then holds
    // exactly what this canvas holds.
    void End(SDL_Texture* target);
    // A rectangle of the target drawn over after End, to be put back next frame.
    void DrewOver(const SDL_Rect& where);

    // The renderer's sprite canvas if it has one; never makes one.
    static SpriteCanvas* Find(SDL_Renderer* renderer);

  private:
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    SDL_Surface* locked = nullptr;
    // Sprites drawn since the last Begin, and in the frame before; the rectangles drawn over the
    // target since the last End. Everything is given back and copied when they are unknown.
    std::vector<SDL_Rect> drawn;
    std::vector<SDL_Rect> drawnBefore;
    std::vector<SDL_Rect> drawnOver;
    bool wholeDirty = true;
    bool wholeCopy = true;
    SDL_Color lastBackground{};
    // False once the renderer has taken the texture with it.
    bool ownsTexture = true;

    friend void DropSpriteCanvas(void*, void*);
};
