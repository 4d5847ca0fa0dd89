#include "render/SpriteCache.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr const char* kCacheProperty = "voidrocks.sprite_cache";
constexpr int kDegreesPerTurn = 360;
// Room around the turned image in the scratch texture, in pixels.
constexpr int kScratchMarginPixels = 4;
constexpr std::size_t kBytesPerPixel = 4;
// The alpha of an ARGB8888 pixel that hides what is under it.
constexpr Uint32 kOpaque = 0xff;

int WholeDegrees(float degrees) {
    const long rounded = std::lround(degrees) % kDegreesPerTurn;
    return static_cast<int>(rounded < 0 ? rounded + kDegreesPerTurn : rounded);
}

}  // namespace

// Called when the renderer goes: its textures went just before.
void DropSpriteCache(void*, void* value) {
    auto* cache = static_cast<SpriteCache*>(value);
    cache->ownsTextures = false;
    delete cache;
}

std::size_t SpriteCache::KeyHash::operator()(const Key& k) const {
    std::size_t h = std::hash<const void*>{}(k.texture);
    for (const int part :
         {k.sourceX, k.sourceY, k.sourceW, k.sourceH, k.width, k.height, k.degrees}) {
        h = h * 1000003u ^ static_cast<std::size_t>(part);
    }
    return h;
}

SpriteCache::SpriteCache(SDL_Renderer* renderer, std::size_t budgetBytes)
    : renderer(renderer), budget(budgetBytes) {}

SpriteCache::~SpriteCache() {
    // The images are the cache's own surfaces, whether or not the renderer is still there.
    for (const Entry& entry : entries) {
        Release(entry);
    }
    if (ownsTextures && scratch != nullptr) {
        SDL_DestroyTexture(scratch);
    }
}

SpriteCache* SpriteCache::For(SDL_Renderer* renderer) {
    if (!DrawsInSoftware(renderer)) {
        return nullptr;
    }
    const SDL_PropertiesID props = SDL_GetRendererProperties(renderer);
    auto* cache = static_cast<SpriteCache*>(SDL_GetPointerProperty(props, kCacheProperty, nullptr));
    if (cache == nullptr) {
        cache = new SpriteCache(renderer);
        if (!SDL_SetPointerPropertyWithCleanup(props, kCacheProperty, cache, DropSpriteCache,
                                               nullptr)) {
            return nullptr;  // the cleanup has already deleted it
        }
    }
    return cache;
}

void SpriteCache::Clear() {
    for (const Entry& entry : entries) {
        Release(entry);
    }
    entries.clear();
    index.clear();
    bytes = 0;
}

void SpriteCache::Release(const Entry& entry) {
    SDL_DestroySurface(entry.image.pixels);
}

SpriteCache::Entry& SpriteCache::Lookup(const Sprite& sprite, const SDL_FRect& destination,
                                        float degrees) {
    const Key key{sprite.texture,
                  sprite.source.x,
                  sprite.source.y,
                  sprite.source.w,
                  sprite.source.h,
                  static_cast<int>(destination.w),
                  static_cast<int>(destination.h),
                  WholeDegrees(degrees)};
    auto found = index.find(key);
    if (found != index.end()) {
        entries.splice(entries.begin(), entries, found->second);
        return entries.front();
    }
    entries.push_front(Make(key));
    ++made;
    index.emplace(key, entries.begin());
    bytes += entries.front().bytes;
    // Images found in this pass may not have been drawn yet: they stay.
    while (bytes > budget && entries.size() > 1 && entries.back().pass != pass) {
        const Entry& oldest = entries.back();
        bytes -= oldest.bytes;
        Release(oldest);
        index.erase(oldest.key);
        entries.pop_back();
    }
    peakBytes = std::max(peakBytes, bytes);
    return entries.front();
}

const SpriteCache::Image* SpriteCache::Find(const Sprite& sprite, const SDL_FRect& destination,
                                            float degrees) {
    Entry& entry = Lookup(sprite, destination, degrees);
    entry.pass = pass;
    return entry.image.pixels != nullptr ? &entry.image : nullptr;
}

SDL_Rect SpriteCache::Draw(const Sprite& sprite, const SDL_FRect& destination, float degrees,
                           SDL_Surface* canvas) {
    const Image& image = Lookup(sprite, destination, degrees).image;
    if (image.pixels == nullptr || canvas == nullptr) {
        return SDL_Rect{};
    }
    const SDL_Rect at = image.At(destination);
    image.DrawOn(canvas, at);
    return at;
}

void SpriteCache::Image::DrawOn(SDL_Surface* canvas, const SDL_Rect& at) const {
    if (translucent || !CopiesInto(canvas->format)) {
        SDL_Rect clipped = at;
        SDL_BlitSurface(pixels, nullptr, canvas, &clipped);
        return;
    }
    // Opaque runs replace the canvas's pixels; everything between them is transparent.
    SDL_Rect clip{};
    SDL_GetSurfaceClipRect(canvas, &clip);
    const int clipRight = clip.x + clip.w;
    const int clipBottom = clip.y + clip.h;
    auto* canvasPixels = static_cast<Uint8*>(canvas->pixels);
    const auto* imagePixels = static_cast<const Uint8*>(pixels->pixels);
    for (const Run& run : runs) {
        const int y = at.y + run.y;
        if (y < clip.y) {
            continue;
        }
        if (y >= clipBottom) {
            break;
        }
        const int left = std::max(at.x + run.x, clip.x);
        const int right = std::min(at.x + run.x + run.length, clipRight);
        if (left >= right) {
            continue;
        }
        auto* to = reinterpret_cast<Uint32*>(canvasPixels +
                                             static_cast<std::ptrdiff_t>(y) * canvas->pitch);
        const auto* from = reinterpret_cast<const Uint32*>(
            imagePixels + static_cast<std::ptrdiff_t>(run.y) * pixels->pitch);
        std::memcpy(to + left, from + (left - at.x),
                    static_cast<std::size_t>(right - left) * sizeof(Uint32));
    }
}

SpriteCache::Entry SpriteCache::Make(const Key& key) {
    Entry entry;
    entry.key = key;
    // Turned about its centre, the image stays within its diagonal.
    const int side =
        static_cast<int>(std::ceil(std::hypot(key.width, key.height))) + 2 * kScratchMarginPixels;
    if (side > scratchSide) {
        if (scratch != nullptr) {
            SDL_DestroyTexture(scratch);
        }
        scratch = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                    side, side);
        scratchSide = scratch != nullptr ? side : 0;
    }
    if (scratch == nullptr) {
        return entry;
    }
    // Let SDL itself turn it, so that the copies match its own drawing pixel for pixel.
    SDL_Texture* previousTarget = SDL_GetRenderTarget(renderer);
    Uint8 r = 0, g = 0, b = 0, a = 0;
    SDL_GetRenderDrawColor(renderer, &r, &g, &b, &a);
    SDL_SetRenderTarget(renderer, scratch);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0);
    SDL_RenderClear(renderer);
    const int left = (scratchSide - key.width) / 2;
    const int top = (scratchSide - key.height) / 2;
    const SDL_FRect source{static_cast<float>(key.sourceX), static_cast<float>(key.sourceY),
                           static_cast<float>(key.sourceW), static_cast<float>(key.sourceH)};
    const SDL_FRect place{static_cast<float>(left), static_cast<float>(top),
                          static_cast<float>(key.width), static_cast<float>(key.height)};
    SDL_RenderTextureRotated(renderer, key.texture, &source, &place,
                             static_cast<double>(key.degrees), nullptr, SDL_FLIP_NONE);
    SDL_Surface* read = SDL_RenderReadPixels(renderer, nullptr);
    SDL_SetRenderTarget(renderer, previousTarget);
    SDL_SetRenderDrawColor(renderer, r, g, b, a);
    SDL_Surface* turned =
        read != nullptr ? SDL_ConvertSurface(read, SDL_PIXELFORMAT_ARGB8888) : nullptr;
    SDL_DestroySurface(read);
    if (turned == nullptr) {
        return entry;
    }

    // Crop to the pixels that show.
    int minX = turned->w, minY = turned->h, maxX = -1, maxY = -1;
    for (int y = 0; y < turned->h; ++y) {
        const auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(turned->pixels) +
                                            static_cast<std::ptrdiff_t>(y) * turned->pitch);
        for (int x = 0; x < turned->w; ++x) {
            if ((row[x] >> 24) != 0) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    if (maxX >= 0) {
        const SDL_Rect crop{minX, minY, maxX - minX + 1, maxY - minY + 1};
        SDL_Surface* cropped = SDL_CreateSurface(crop.w, crop.h, turned->format);
        if (cropped != nullptr) {
            SDL_SetSurfaceBlendMode(turned, SDL_BLENDMODE_NONE);
            SDL_BlitSurface(turned, &crop, cropped, nullptr);
            // Drawn blended, as the renderer would draw it.
            SDL_SetSurfaceBlendMode(cropped, SDL_BLENDMODE_BLEND);
            entry.image.pixels = cropped;
            entry.image.x = crop.x - left;
            entry.image.y = crop.y - top;
            entry.image.w = crop.w;
            entry.image.h = crop.h;
            FindRuns(entry.image);
            entry.bytes = static_cast<std::size_t>(crop.w) * static_cast<std::size_t>(crop.h) *
                              kBytesPerPixel +
                          entry.image.runs.capacity() * sizeof(Run);
        }
    }
    SDL_DestroySurface(turned);
    return entry;
}

void SpriteCache::FindRuns(Image& image) {
    const SDL_Surface* surface = image.pixels;
    for (int y = 0; y < surface->h && !image.translucent; ++y) {
        const auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) +
                                            static_cast<std::ptrdiff_t>(y) * surface->pitch);
        int x = 0;
        while (x < surface->w) {
            const Uint32 alpha = row[x] >> 24;
            if (alpha == 0) {
                ++x;
                continue;
            }
            if (alpha != kOpaque) {
                image.translucent = true;
                break;
            }
            const int start = x;
            while (x < surface->w && (row[x] >> 24) == kOpaque) {
                ++x;
            }
            image.runs.push_back(Run{static_cast<std::uint16_t>(y),
                                     static_cast<std::uint16_t>(start),
                                     static_cast<std::uint16_t>(x - start)});
        }
    }
    if (image.translucent) {
        image.runs.clear();
    }
    image.runs.shrink_to_fit();
}
