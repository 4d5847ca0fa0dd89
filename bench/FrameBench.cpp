#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "app/SteppedGame.h"
#include "ecs/EntityCreator.h"
#include "game/PhysicsSystem.h"
#include "game/VoidrockContainmentSystem.h"
#include "game/VoidrocksScene.h"

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

// The two systems that touch every voidrock in every frame: wrap and contacts, then motion.
void BM_GameplayFrame(benchmark::State& state) {
    auto scene = std::make_shared<VoidrocksScene>();
    scene->world.singletons = std::make_shared<SingletonMap>();
    scene->Setup();
    scene->systems.clear();
    scene->AddSystems<VoidrockContainmentSystem, PhysicsSystem>("");
    Populate(*scene->GetSceneSingleton<EntityCreator>(), state.range(0));
    for (auto _ : state) {
        scene->RunFrame();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GameplayFrame)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// A whole frame of the real game, drawing included, on SDL's software renderer without vsync.
void BM_WholeFrame(benchmark::State& state) {
    setenv("SDL_VIDEO_DRIVER", "dummy", 0);
    SteppedGame game;
    Scene& scene = game.GameScene();
    Populate(*scene.GetSceneSingleton<EntityCreator>(), state.range(0));
    for (auto _ : state) {
        game.Step();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WholeFrame)->Arg(0)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

}  // namespace
