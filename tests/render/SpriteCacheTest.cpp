#include "render/SpriteCache.h"

#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "support/Presentation.h"

using SpriteCacheTest = PresentationTest<>;

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
    SurfacePtr canvases[2] = {{nullptr, &SDL_DestroySurface}, {nullptr, &SDL_DestroySurface}};
    for (int cached = 0; cached < 2; ++cached) {
        SDL_SetRenderTarget(sdl->renderer, sdl->target);
        SDL_SetRenderDrawColor(sdl->renderer, 10, 18, 40, 255);
        SDL_RenderClear(sdl->renderer);
        for (const auto& [name, x, y, degrees] : draws) {
            const Sprite& sprite = sdl->sprites.at(name);
            const SDL_FRect source{0, 0, static_cast<float>(sprite.source.w),
                                   static_cast<float>(sprite.source.h)};
            const SDL_FRect destination{x, y, source.w * 4, source.h * 4};
            if (cached == 1) {
                cache->Draw(sprite, destination, degrees);
            } else {
                SDL_RenderTextureRotated(sdl->renderer, sprite.texture, &source, &destination,
                                         std::fmod(std::round(degrees) + 360.0, 360.0), nullptr,
                                         SDL_FLIP_NONE);
            }
        }
        canvases[cached] = ReadCanvas(*sdl);
    }
    // Same format and size: the canvases match byte for byte.
    EXPECT_EQ(std::memcmp(canvases[0]->pixels, canvases[1]->pixels,
                          static_cast<std::size_t>(canvases[0]->h * canvases[0]->pitch)),
              0);
    EXPECT_EQ(cache->Entries(), std::size(draws) - 1);
}

TEST_F(SpriteCacheTest, KeepsWithinItsBudgetByDroppingTheLeastRecentlyDrawn) {
    const Sprite& big = sdl->sprites.at("big");
    const SDL_FRect destination{800, 400, 192, 192};
    SpriteCache sized(sdl->renderer);
    sized.Draw(big, destination, 0.0f);
    const std::size_t one = sized.Bytes();
    ASSERT_GT(one, 0u);
    // Room for two upright images: a draw makes one unless it is among the two drawn last.
    SpriteCache cache(sdl->renderer, 2 * one);
    std::vector<std::size_t> made;
    for (float degrees : {0, 180, 0, 90, 0, 90, 180}) {
        cache.Draw(big, destination, degrees);
        made.push_back(cache.Made());
        EXPECT_LE(cache.Bytes(), 2 * one);
    }
    EXPECT_EQ(made, (std::vector<std::size_t>{1, 2, 2, 3, 3, 3, 4}));
    EXPECT_EQ(cache.Entries(), 2u);
    EXPECT_LE(cache.PeakBytes(), 2 * one);
}
