// The simulation of a crowded game against the same game written as plain arrays, in the same
// run: per frame, microseconds of each and their ratio.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>

#include "AllocCounter.h"
#include "GameplayField.h"
#include "PlainField.h"
#include "TimeNs.h"

namespace {

// Spawn, containment, score, destroy, bullets, movement, physics and the timed messages.
constexpr std::size_t kSimulationSystems = 8;
constexpr std::uint32_t kSeed = 1;

void BM_GameplayFrame(benchmark::State& state) {
    const std::int64_t crowd = state.range(0);
    const std::size_t heapBefore = mallinfo2().uordblks;
    GameplayField game(crowd, kSeed);
    // Heap held per live voidrock: its records, its identifier and its places in the sets.
    state.counters["heap_bytes_per_voidrock"] =
        static_cast<double>(mallinfo2().uordblks - heapBefore) / static_cast<double>(crowd);
    if (game.SystemCount() != kSimulationSystems) {
        state.SkipWithError("the frame does not have the simulation's eight systems");
        return;
    }
    PlainField plain(crowd, kSeed);
    for (int f = 0; f < kWarmUpFrames; ++f) {
        game.Frame();
        game.Tend();
        plain.Frame();
        plain.Tend();
    }
    double gameNs = 0.0;
    double plainNs = 0.0;
    double bullets = 0.0;
    double plainBullets = 0.0;
    std::uint64_t allocations = 0;
    // Each side's frames alternate, each followed by its untimed tending.
    for (auto _ : state) {
        const std::uint64_t allocationsBefore = HeapAllocations();
        const double ns = TimeNs([&] { game.Frame(); });
        allocations += HeapAllocations() - allocationsBefore;
        state.SetIterationTime(ns * 1e-9);
        gameNs += ns;
        bullets += static_cast<double>(game.Bullets());
        game.Tend();
        plainNs += TimeNs([&] { plain.Frame(); });
        plainBullets += static_cast<double>(plain.Bullets());
        plain.Tend();
    }
    if (!game.ShipAlive() || !plain.ShipAlive()) {
        state.SkipWithError("the ship did not live through the measurement");
        return;
    }
    const auto frames = static_cast<double>(state.iterations());
    state.counters["plain_us"] = plainNs / frames * 1e-3;
    state.counters["ratio"] = gameNs / plainNs;
    state.counters["bullets"] = bullets / frames;
    state.counters["plain_bullets"] = plainBullets / frames;
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / frames;
    state.SetItemsProcessed(state.iterations() * crowd);
}
BENCHMARK(BM_GameplayFrame)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
