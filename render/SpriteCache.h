#pragma once

#include <SDL3/SDL.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>
#include <vector>

#include "platform/SDLton.h"

// Sprites already enlarged and turned, for SDL's software renderer. There a turned, enlarged
// sprite would be scaled and rotated anew on every draw; here that happens once per image,
// size and whole degree, and later draws are plain copies. Angles are rounded to the nearest
// whole degree: voidrocks are drawn at whole degrees anyway, the ship at most half a degree
// off. The least recently drawn images go first once the budget is spent.
//
// Each image is kept cropped to its visible pixels, as the runs of opaque pixels of each row:
// a draw copies those runs and skips the transparent ones, which is what blending them would
// give. An image with a pixel that is neither opaque nor transparent is blended whole by SDL.
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

    // A run of opaque pixels in one row of an image.
    struct Run {
        std::uint16_t y;
        std::uint16_t x;
        std::uint16_t length;
    };
    // A turned image cropped to its visible pixels, placed relative to the destination's
    // top-left corner.
    struct Image {
        SDL_Surface* pixels = nullptr;
        // Top to bottom; empty when the image is blended whole.
        std::vector<Run> runs;
        bool translucent = false;
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;

        // Where it lies on the canvas for a destination rectangle: the software renderer places
        // a draw at the whole pixel its corner truncates to.
        SDL_Rect At(const SDL_FRect& destination) const {
            return {static_cast<int>(destination.x) + x, static_cast<int>(destination.y) + y, w, h};
        }
        // Draws it with its top-left corner at (at.x, at.y) onto a canvas, within the canvas's
        // clip rectangle.
        void DrawOn(SDL_Surface* canvas, const SDL_Rect& at) const;
    };

    // Whether the images' pixels can be copied as they are into memory of this format: theirs,
    // or the same without alpha.
    static bool CopiesInto(SDL_PixelFormat format) {
        return format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_XRGB8888;
    }

    // Draws onto the canvas what SDL_RenderTextureRotated would draw there for the sprite in
    // the destination rectangle (whole pixels, as the software renderer takes them) turned by
    // degrees, and returns the rectangle it may have touched (empty when nothing shows).
    SDL_Rect Draw(const Sprite& sprite, const SDL_FRect& destination, float degrees,
                  SDL_Surface* canvas);

    // The image Draw would copy, made if need be; null when nothing of it shows. It stays until
    // the next NextPass, however full the cache gets: a pass may draw its images later.
    const Image* Find(const Sprite& sprite, const SDL_FRect& destination, float degrees);
    void NextPass() { ++pass; }

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
    struct Entry {
        Key key;
        // No pixels when nothing of it shows.
        Image image;
        std::size_t bytes = 0;
        // The last pass that found it.
        std::uint64_t pass = 0;
    };

    Entry& Lookup(const Sprite& sprite, const SDL_FRect& destination, float degrees);
    Entry Make(const Key& key);
    // Finds the image's opaque runs, or that it has translucent pixels.
    static void FindRuns(Image& image);
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
    std::uint64_t pass = 1;
    // False once the renderer has taken the scratch texture with it.
    bool ownsTextures = true;

    friend void DropSpriteCache(void*, void*);
};
