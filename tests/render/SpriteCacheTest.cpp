#include "render/SpriteCache.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "support/Presentation.h"

using SpriteCacheTest = PresentationTest<>;

namespace {

SurfacePtr AsArgb(SurfacePtr surface) {
    return SurfacePtr(SDL_ConvertSurface(surface.get(), SDL_PIXELFORMAT_ARGB8888),
                      &SDL_DestroySurface);
}

// Memory the size of the canvas in the cache's format, all the game's navy.
SurfacePtr BackgroundCanvas() {
    SurfacePtr canvas(SDL_CreateSurface(kCanvasWidth, kCanvasHeight, SDL_PIXELFORMAT_ARGB8888),
                      &SDL_DestroySurface);
    EXPECT_NE(canvas, nullptr);
    SDL_FillSurfaceRect(canvas.get(), nullptr, SDL_MapSurfaceRGBA(canvas.get(), 10, 18, 40, 255));
    return canvas;
}

}  // namespace

TEST_F(SpriteCacheTest, CopiesMatchSdlsOwnTurnedDrawingAtTheNearestWholeDegree) {
    // Sprite, the destination's top-left corner, degrees.
    const std::tuple<const char*, float, float, float> draws[] = {
        {"big", 100.0f, 100.0f, 0.0f},        {"big", 400.4f, 120.7f, 137.0f},
        {"med", -60.5f, 700.0f, 45.0f},       {"small", 1800.0f, 1000.0f, 359.0f},
        {"ship", 900.0f, 400.0f, 10.4f},      {"ship_accel", 1200.0f, 500.0f, -30.6f},
        {"explosion", 600.0f, 800.0f, 90.0f}, {"bullet", 1500.0f, 300.0f, 725.2f},
        {"big", 700.0f, 600.0f, 137.0f},  // drawn again from the cache
    };
    SpriteCache* cache = SpriteCache::For(sdl->renderer);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(SpriteCache::For(sdl->renderer), cache);
    // SDL's own drawing on the canvas, then the cache's copies onto memory of the same size.
    SDL_SetRenderTarget(sdl->renderer, CanvasTexture(*sdl));
    SDL_SetRenderDrawColor(sdl->renderer, 10, 18, 40, 255);
    SDL_RenderClear(sdl->renderer);
    for (const auto& [name, x, y, degrees] : draws) {
        const Sprite& sprite = sdl->sprites.at(name);
        const SDL_FRect source{0, 0, static_cast<float>(sprite.source.w),
                               static_cast<float>(sprite.source.h)};
        const SDL_FRect destination{x, y, source.w * 4, source.h * 4};
        SDL_RenderTextureRotated(sdl->renderer, sprite.texture, &source, &destination,
                                 std::fmod(std::round(degrees) + 360.0, 360.0), nullptr,
                                 SDL_FLIP_NONE);
    }
    SurfacePtr expected = AsArgb(ReadCanvas(*sdl));
    SurfacePtr copied = BackgroundCanvas();
    for (const auto& [name, x, y, degrees] : draws) {
        const Sprite& sprite = sdl->sprites.at(name);
        const SDL_FRect destination{x, y, static_cast<float>(sprite.source.w * 4),
                                    static_cast<float>(sprite.source.h * 4)};
        cache->Draw(sprite, destination, degrees, copied.get());
    }
    EXPECT_TRUE(SamePixels(expected.get(), copied.get()));
    EXPECT_EQ(cache->Entries(), std::size(draws) - 1);
}

// A sprite with pixels that are neither opaque nor transparent is blended as SDL blends it.
TEST_F(SpriteCacheTest, TranslucentSpritesMatchSdlsOwnBlending) {
    constexpr int kSide = 16;
    SurfacePtr image(SDL_CreateSurface(kSide, kSide, SDL_PIXELFORMAT_ARGB8888),
                     &SDL_DestroySurface);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            // Opaque, transparent and half-seen pixels in bands. The half-seen ones are black, the
            // one colour that turning them over a transparent scratch leaves as it is.
            const int band = (x + y) % 3;
            const Uint8 alpha = band == 0 ? 255 : band == 1 ? 0 : 100;
            const Uint8 shade = band == 2 ? 0 : 1;
            SDL_WriteSurfacePixel(image.get(), x, y, static_cast<Uint8>(x * 15 * shade),
                                  static_cast<Uint8>(y * 15 * shade),
                                  static_cast<Uint8>(200 * shade), alpha);
        }
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(sdl->renderer, image.get());
    ASSERT_NE(texture, nullptr);
    SDL_SetTextureScaleMode(texture, SDL_SCALEMODE_NEAREST);
    const Sprite sprite{texture, {0, 0, kSide, kSide}};
    const SDL_FRect destination{300.0f, 200.0f, kSide * 4, kSide * 4};
    SDL_SetRenderTarget(sdl->renderer, CanvasTexture(*sdl));
    SDL_SetRenderDrawColor(sdl->renderer, 10, 18, 40, 255);
    SDL_RenderClear(sdl->renderer);
    const SDL_FRect source{0, 0, kSide, kSide};
    SDL_RenderTextureRotated(sdl->renderer, texture, &source, &destination, 30.0, nullptr,
                             SDL_FLIP_NONE);
    SurfacePtr expected = AsArgb(ReadCanvas(*sdl));
    SurfacePtr copied = BackgroundCanvas();
    SpriteCache cache(sdl->renderer);
    const SDL_Rect touched = cache.Draw(sprite, destination, 30.0f, copied.get());
    EXPECT_GT(touched.w, 0);
    EXPECT_TRUE(SamePixels(expected.get(), copied.get()));
    // Some of it shows half: the background was blended in, not only copied over or kept.
    EXPECT_GT(CountIn(copied.get(), touched,
                      [](const Rgba& p) {
                          return p.b != 200 && !(p == Rgba{10, 18, 40});
                      }),
              0);
    SDL_DestroyTexture(texture);
}

TEST_F(SpriteCacheTest, KeepsWithinItsBudgetByDroppingTheLeastRecentlyDrawn) {
    const Sprite& big = sdl->sprites.at("big");
    const SDL_FRect destination{800, 400, 192, 192};
    SurfacePtr canvas = BackgroundCanvas();
    // The largest of the three images (their runs differ a little).
    std::size_t one = 0;
    for (float degrees : {0, 90, 180}) {
        SpriteCache sized(sdl->renderer);
        sized.Draw(big, destination, degrees, canvas.get());
        one = std::max(one, sized.Bytes());
    }
    ASSERT_GT(one, 0u);
    // Room for two images: a draw makes one unless it is among the two drawn last.
    SpriteCache cache(sdl->renderer, 2 * one);
    std::vector<std::size_t> made;
    for (float degrees : {0, 180, 0, 90, 0, 90, 180}) {
        cache.Draw(big, destination, degrees, canvas.get());
        made.push_back(cache.Made());
        EXPECT_LE(cache.Bytes(), 2 * one);
    }
    EXPECT_EQ(made, (std::vector<std::size_t>{1, 2, 2, 3, 3, 3, 4}));
    EXPECT_EQ(cache.Entries(), 2u);
    EXPECT_LE(cache.PeakBytes(), 2 * one);
}
