#pragma once

#include <SDL3/SDL.h>

#include <vector>

// The memory the sprites are drawn into on SDL's software renderer: a streaming texture of the
// canvas's size that the sprite cache writes directly, instead of through one blended copy per
// sprite. Between frames it keeps its pixels, so only where sprites were is given back to the
// background. Then it is copied onto the canvas in one unblended pass, which replaces the clear.
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
    // Copies the canvas, sprites and background, over the whole of the target.
    void End(SDL_Texture* target);

  private:
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    SDL_Surface* locked = nullptr;
    // What was drawn on since the last Begin; the whole canvas is given back when unknown.
    std::vector<SDL_Rect> drawn;
    bool wholeDirty = true;
    SDL_Color lastBackground{};
    // False once the renderer has taken the texture with it.
    bool ownsTexture = true;

    friend void DropSpriteCanvas(void*, void*);
};
