#pragma once

#include <SDL3/SDL.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

#include "platform/SDLton.h"

// Sprites already enlarged and turned, for SDL's software renderer. There a turned, enlarged
// sprite would be scaled and rotated anew on every draw; here that happens once per image,
// size and whole degree, and later draws are plain copies. Angles are rounded to the nearest
// whole degree: voidrocks are drawn at whole degrees anyway, the ship at most half a degree
// off. The least recently drawn images go first once the budget is spent.
class SpriteCache {
  public:
    // Enough for a canvas crowded with voidrocks at hundreds of different angles.
    static constexpr std::size_t kBudgetBytes = std::size_t{128} << 20;

    explicit SpriteCache(SDL_Renderer* renderer, std::size_t budgetBytes = kBudgetBytes);
    ~SpriteCache();
    SpriteCache(const SpriteCache&) = delete;
    SpriteCache& operator=(const SpriteCache&) = delete;

    // The renderer's cache, made on first use and gone with the renderer; null for any
    // renderer but SDL's software one, which draws turned sprites quickly enough itself.
    static SpriteCache* For(SDL_Renderer* renderer);

    // Draws what SDL_RenderTextureRotated would draw for the sprite in the destination
    // rectangle (whole pixels, as the software renderer takes them) turned by degrees.
    void Draw(const Sprite& sprite, const SDL_FRect& destination, float degrees);

    // Lets go of every image made so far, as if none had been drawn: the soak measures the
    // heap at the same point of each game without them.
    void Clear();

    std::size_t Bytes() const { return bytes; }
    std::size_t PeakBytes() const { return peakBytes; }
    std::size_t Entries() const { return entries.size(); }
    // Images made so far: the draws that missed.
    std::size_t Made() const { return made; }

  private:
    struct Key {
        SDL_Texture* texture;
        int sourceX;
        int sourceY;
        int sourceW;
        int sourceH;
        int width;
        int height;
        int degrees;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    // The turned image cropped to its visible pixels, placed relative to the destination's
    // top-left corner; no texture when nothing of it shows.
    struct Entry {
        Key key;
        SDL_Texture* texture = nullptr;
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        std::size_t bytes = 0;
    };

    Entry Make(const Key& key);
    void Release(const Entry& entry);

    SDL_Renderer* renderer;
    std::size_t budget;
    // Most recently drawn first.
    std::list<Entry> entries;
    std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index;
    // Where new images are turned before they are cropped; grown as needed.
    SDL_Texture* scratch = nullptr;
    int scratchSide = 0;
    std::size_t bytes = 0;
    std::size_t peakBytes = 0;
    std::size_t made = 0;
    // False once the renderer has taken every texture with it.
    bool ownsTextures = true;

    friend void DropSpriteCache(void*, void*);
};
