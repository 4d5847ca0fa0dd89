#pragma once

#include <SDL3/SDL.h>

#include <cstdint>
#include <vector>

#include "render/SpriteCache.h"

// The canvas on SDL's software renderer: a streaming texture of the canvas's size whose memory
// the sprite cache's images are copied into, instead of through one blended copy per sprite,
// and the texts blended over them. It is shown in the window in place of the canvas texture,
// which it spares a copy of every frame.
//
// A crowded canvas hides most of its sprites under others: the sprites of a pass are drawn top
// one first, each pixel only where no sprite above it has drawn, so that every pixel is written
// once however many sprites lie on it. Between frames the memory keeps its pixels, so only
// where sprites or texts were and are no more is given back to the background. The window keeps
// its pixels between frames too: a canvas shown at its own size is copied into it only where it
// changed, unless that is half of it or the window has had any event since the last frame.
class SpriteCanvas {
  public:
    SpriteCanvas(SDL_Renderer* renderer, SDL_Texture* texture);
    ~SpriteCanvas();
    SpriteCanvas(const SpriteCanvas&) = delete;
    SpriteCanvas& operator=(const SpriteCanvas&) = delete;

    // The renderer's sprite canvas, made on first use in the given format and gone with the
    // renderer; null for any renderer but SDL's software one, for a format the sprite cache's
    // images cannot be copied into, or when its texture cannot be made.
    static SpriteCanvas* For(SDL_Renderer* renderer, SDL_PixelFormat format);

    // Starts a frame's pass over this background; false when the canvas's memory cannot be had.
    bool Begin(SDL_Color background);
    // A sprite of the pass, drawn over those added before it; null draws nothing.
    void Add(const SpriteCache::Image* image, const SDL_FRect& destination);
    // Draws the pass's sprites.
    void End();
    // Whether a frame is being drawn here: from a successful Begin to Present.
    bool Drawing() const { return locked != nullptr; }
    // Blends a streaming texture over the frame at its own size; nothing when its pixels cannot
    // be had.
    void DrawText(SDL_Texture* text, const SDL_FRect& where);
    // Shows the frame in the renderer's window at the given place.
    void Present(const SDL_FRect& where);
    // The texture shown in the window.
    SDL_Texture* Texture() const { return texture; }
    // A copy of the canvas as last drawn here (null with SDL's error when it cannot be had).
    SDL_Surface* Read();

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
    // Window events may change or remake the window's memory.
    static bool SDLCALL WatchWindow(void* canvas, SDL_Event* event);

    SDL_Renderer* renderer;
    SDL_Texture* texture;
    SDL_Surface* locked = nullptr;
    SDL_Color background{};
    std::vector<Placed> pass;
    // One bit per canvas pixel, a row of words per canvas row: what the sprites of this pass
    // have drawn so far, and what those of the last pass drew.
    std::vector<std::uint64_t> covered;
    std::vector<std::uint64_t> coveredBefore;
    // Per canvas row, which of its words the sprites of this pass have wholly drawn.
    std::vector<std::uint32_t> fullWords;
    // The rectangles of the sprites and texts of this frame and of the last one: where the
    // window may differ from the canvas.
    std::vector<SDL_Rect> drawn;
    std::vector<SDL_Rect> drawnBefore;
    // Everything is given back to the background when what was drawn is not known, and shown
    // whole when the window may not hold the last frame.
    bool wholeDirty = true;
    bool wholePresent = true;
    // False once the renderer has taken the texture with it.
    bool ownsTexture = true;

    friend void DropSpriteCanvas(void*, void*);
};
