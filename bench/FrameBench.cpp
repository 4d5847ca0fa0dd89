#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "AllocCounter.h"
#include "driver/SteppedGame.h"
#include "game/EntityCreator.h"
#include "render/RenderSys.h"
#include "render/SpriteCache.h"

namespace {

// Voidrocks spread over their whole wrap-around area, as after a long game; they drift away
// from the ship's corner so that the ship survives the measurement.
void Populate(EntityCreator& creator, std::int64_t count) {
    std::srand(1);
    for (std::int64_t i = 0; i < count; ++i) {
        const float x = static_cast<float>(std::rand() % 5000 - 1000);
        const float y = static_cast<float>(std::rand() % 4000 - 1000);
        creator.CreateVoidrock(x, y, 1.5f, -0.5f, static_cast<std::int32_t>(i % 3));
    }
}

// A whole frame of the real game, drawing included, on SDL's software renderer without vsync.
constexpr int kMostWarmUpFrames = 600;
void BM_WholeFrame(benchmark::State& state) {
    setenv("SDL_VIDEO_DRIVER", "dummy", 0);
    SteppedGame game;
    Scene& scene = game.GameScene();
    Populate(*scene.GetSceneSingleton<EntityCreator>(), state.range(0));
    // Warm-up: frames until one makes no new sprite image, so that what is timed is drawing
    // rather than filling the cache (timed on its own by BM_SpriteCacheFill).
    SpriteCache* cache = SpriteCache::For(game.Platform().renderer);
    for (int frame = 0; cache != nullptr && frame < kMostWarmUpFrames; ++frame) {
        const std::size_t madeBefore = cache->Made();
        game.Step();
        if (cache->Made() == madeBefore) {
            break;
        }
    }
    const std::size_t madeBeforeTiming = cache != nullptr ? cache->Made() : 0;
    const std::uint64_t allocationsBefore = HeapAllocations();
    for (auto _ : state) {
        game.Step();
    }
    state.counters["images_made_per_frame"] =
        static_cast<double>(cache != nullptr ? cache->Made() - madeBeforeTiming : 0) /
        static_cast<double>(state.iterations());
    // Allocations through operator new: the game's own, not the platform's.
    state.counters["allocs_per_frame"] =
        static_cast<double>(HeapAllocations() - allocationsBefore) /
        static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WholeFrame)->Arg(0)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// The sprite pass over voidrocks that lie outside the canvas, as most of them do late in a
// game: what it costs to find that there is nothing to draw.
void BM_SpritePassOffCanvas(benchmark::State& state) {
    setenv("SDL_VIDEO_DRIVER", "dummy", 0);
    SteppedGame game;
    Scene& scene = game.GameScene();
    auto* creator = scene.GetSceneSingleton<EntityCreator>();
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        creator->CreateVoidrock(2500.0f + static_cast<float>(i % 1000), -800.0f, 0.0f, 0.0f,
                                static_cast<std::int32_t>(i % 3));
    }
    RenderSys& sprites = *scene.FindSystem<RenderSys>();
    for (auto _ : state) {
        sprites.Update();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SpritePassOffCanvas)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// Voidrocks still, all on the canvas, spread over it and each at its own drawing angle.
void PlaceOnCanvas(EntityCreator& creator, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        creator.CreateVoidrock(static_cast<float>(100 + (i * 97) % 1720),
                               static_cast<float>(100 + (i * 61) % 880), 0.0f, 0.0f,
                               static_cast<std::int32_t>(i % 3));
    }
}

// SteppedGame's pacing argument, unpaced, with SDL's dummy video driver chosen unless another
// is named: set before the game opens its window.
bool UnpacedOnDummyDriver() {
    setenv("SDL_VIDEO_DRIVER", "dummy", 0);
    return false;
}

// A headless game with that many voidrocks still on the canvas, and its sprite pass.
struct CanvasCrowd {
    explicit CanvasCrowd(std::int64_t count)
        : game(UnpacedOnDummyDriver()),
          sprites(*game.GameScene().FindSystem<RenderSys>()),
          renderer(game.Platform().renderer) {
        PlaceOnCanvas(*game.GameScene().GetSceneSingleton<EntityCreator>(), count);
    }
    SteppedGame game;
    RenderSys& sprites;
    SDL_Renderer* renderer;
};

// The sprite pass over voidrocks that all lie on the canvas, each at its own drawing angle:
// the cost of every drawn sprite on the software renderer, flushed to the canvas.
void BM_SpritePassOnCanvas(benchmark::State& state) {
    CanvasCrowd crowd(state.range(0));
    RenderSys& sprites = crowd.sprites;
    SDL_Renderer* renderer = crowd.renderer;
    // Every image is made once before the timing: what is measured is the steady state.
    sprites.Update();
    SDL_FlushRenderer(renderer);
    for (auto _ : state) {
        sprites.Update();
        SDL_FlushRenderer(renderer);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["us_per_sprite"] =
        benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)) * 1e-6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SpritePassOnCanvas)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Filling the sprite cache: one sprite pass over voidrocks on the canvas with every image made
// anew, as at the start of a crowded game; the cost per image made.
void BM_SpriteCacheFill(benchmark::State& state) {
    CanvasCrowd crowd(state.range(0));
    RenderSys& sprites = crowd.sprites;
    SDL_Renderer* renderer = crowd.renderer;
    SpriteCache* cache = SpriteCache::For(renderer);
    if (cache == nullptr) {
        state.SkipWithError("not the software renderer");
        return;
    }
    std::size_t made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        cache->Clear();
        const std::size_t madeBefore = cache->Made();
        state.ResumeTiming();
        sprites.Update();
        SDL_FlushRenderer(renderer);
        made += cache->Made() - madeBefore;
    }
    state.counters["images_per_pass"] =
        static_cast<double>(made) / static_cast<double>(state.iterations());
    state.counters["us_per_image"] =
        benchmark::Counter(static_cast<double>(made) * 1e-6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SpriteCacheFill)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The sprite cache's memory over a long game in which the ship keeps turning, thrusting and
// firing; then with every sprite drawn at every whole degree, the most it could ever hold.
void BM_SpriteCacheMemory(benchmark::State& state) {
    setenv("SDL_VIDEO_DRIVER", "dummy", 0);
    constexpr std::int64_t kLongGameFrames = 30000;
    for (auto _ : state) {
        SteppedGame game;
        SpriteCache* cache = SpriteCache::For(game.Platform().renderer);
        if (cache == nullptr) {
            state.SkipWithError("not the software renderer");
            return;
        }
        bool running = true;
        while (running && game.frame < kLongGameFrames) {
            const std::int64_t phase = game.frame % 600;
            game.keys[SDL_SCANCODE_RIGHT] = phase < 200;
            game.keys[SDL_SCANCODE_LEFT] = phase >= 300 && phase < 450;
            game.keys[SDL_SCANCODE_UP] = phase % 120 < 40;
            game.keys[SDL_SCANCODE_SPACE] = phase % 20 < 10;
            running = game.Step();
        }
        state.counters["game_frames"] = static_cast<double>(game.frame);
        state.counters["game_peak_MiB"] = static_cast<double>(cache->PeakBytes()) / (1 << 20);
        state.counters["game_images"] = static_cast<double>(cache->Entries());
        SDLton& sdl = game.Platform();
        SDL_Surface* canvas =
            SDL_CreateSurface(kCanvasWidth, kCanvasHeight, SDL_PIXELFORMAT_ARGB8888);
        for (const auto& [name, sprite] : sdl.sprites) {
            const SDL_FRect at{800, 400, static_cast<float>(sprite.source.w * 4),
                               static_cast<float>(sprite.source.h * 4)};
            for (int degrees = 0; degrees < 360; ++degrees) {
                cache->Draw(sprite, at, static_cast<float>(degrees), canvas);
            }
        }
        SDL_DestroySurface(canvas);
        state.counters["all_angles_peak_MiB"] = static_cast<double>(cache->PeakBytes()) / (1 << 20);
        state.counters["all_angles_images"] = static_cast<double>(cache->Made());
    }
}
BENCHMARK(BM_SpriteCacheMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
