#include <benchmark/benchmark.h>

#include <cstdlib>

#include "ecs/EntityCreator.h"
#include "game/Components.h"
#include "game/PhysicsSystem.h"
#include "game/VoidrockContainmentSystem.h"
#include "game/VoidrocksScene.h"

namespace {

// The gameplay part of a frame with many voidrocks alive: wrap and contact tests, then
// moving every body. Voidrocks are spread over their whole wrap-around area.
class BenchScene : public VoidrocksScene {};

void BM_GameplayFrame(benchmark::State& state) {
    // The whole scene minus its systems: the bench runs the two that touch every voidrock.
    auto scene = std::make_shared<BenchScene>();
    scene->world.singletons = std::make_shared<SingletonMap>();
    scene->Setup();
    scene->systems.clear();
    scene->AddSystems<VoidrockContainmentSystem, PhysicsSystem>("");
    auto* creator = scene->GetSceneSingleton<EntityCreator>();
    std::srand(1);
    for (int64_t i = 0; i < state.range(0); ++i) {
        creator->CreateVoidrock(static_cast<float>(std::rand() % 5000 - 1000),
                                static_cast<float>(std::rand() % 4000 - 1000), 1.5f, -0.5f,
                                static_cast<std::int32_t>(i % 3));
    }
    for (auto _ : state) {
        for (auto& system : scene->systems) {
            system->Update();
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GameplayFrame)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

}  // namespace
