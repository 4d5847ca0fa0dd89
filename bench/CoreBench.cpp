// The entity-component core against a plain struct-of-arrays loop doing the same work, in the
// same run. Each benchmark reports nanoseconds per entity for both and their ratio.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "AllocCounter.h"
#include "TimeNs.h"
#include "ecs/World.h"

namespace {

struct Position {
    float x = 0.0f;
    float y = 0.0f;
};
struct Velocity {
    float x = 1.0f;
    float y = 0.5f;
};

constexpr double kChurnShare = 0.01;
constexpr int kChurnFramesBeforeWalk = 20;

std::unique_ptr<World> MakeWorld() {
    auto world = std::make_unique<World>();
    world->store.RegisterComponent<Position, Velocity>();
    world->RegisterArchetype<Position, Velocity>("body");
    world->GetEntities<Position, Velocity>();
    return world;
}

void Populate(World& world, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) {
        world.CreateEntity("body");
    }
}

void Walk(World& world) {
    for (const Entity& e : *world.GetEntities<Position, Velocity>()) {
        Position& p = e.GetComponent<Position>();
        const Velocity& v = e.GetComponent<Velocity>();
        p.x += v.x;
        p.y += v.y;
    }
}

// The same records as plain arrays, with a free list and a live flag per index.
struct Plain {
    std::vector<float> px, py, vx, vy;
    std::vector<std::uint8_t> live;
    std::vector<std::uint32_t> free;

    std::uint32_t Create() {
        if (!free.empty()) {
            const std::uint32_t i = free.back();
            free.pop_back();
            px[i] = py[i] = 0.0f;
            vx[i] = 1.0f;
            vy[i] = 0.5f;
            live[i] = 1;
            return i;
        }
        px.push_back(0.0f);
        py.push_back(0.0f);
        vx.push_back(1.0f);
        vy.push_back(0.5f);
        live.push_back(1);
        return static_cast<std::uint32_t>(px.size() - 1);
    }
    void Destroy(std::uint32_t i) {
        live[i] = 0;
        free.push_back(i);
    }
    void Walk() {
        for (std::size_t i = 0; i < px.size(); ++i) {
            if (live[i]) {
                px[i] += vx[i];
                py[i] += vy[i];
            }
        }
    }
};

Plain MakePlain(std::int64_t n) {
    Plain plain;
    for (std::int64_t i = 0; i < n; ++i) {
        plain.Create();
    }
    return plain;
}

// One churn frame: a random share of the live entities destroyed, as many created, one walk.
struct Churner {
    std::mt19937 random{7};
    std::vector<EntityId> liveIds;

    template <typename Destroy, typename Create, typename WalkAll>
    void Frame(Destroy destroy, Create create, WalkAll walk) {
        const auto count =
            static_cast<std::size_t>(static_cast<double>(liveIds.size()) * kChurnShare);
        for (std::size_t k = 0; k < count; ++k) {
            std::uniform_int_distribution<std::size_t> pick(0, liveIds.size() - 1);
            const std::size_t at = pick(random);
            destroy(liveIds[at]);
            liveIds[at] = liveIds.back();
            liveIds.pop_back();
        }
        for (std::size_t k = 0; k < count; ++k) {
            liveIds.push_back(create());
        }
        walk();
    }
};

Churner ChurnerOver(std::int64_t n) {
    Churner churner;
    churner.liveIds.resize(static_cast<std::size_t>(n));
    std::iota(churner.liveIds.begin(), churner.liveIds.end(), 0);
    return churner;
}

void ChurnWorld(World& world, Churner& churner) {
    churner.Frame([&](EntityId id) { world.DestroyEntity(id); },
                  [&] { return world.CreateEntity("body").id; }, [&] { Walk(world); });
}

void ChurnPlain(Plain& plain, Churner& churner) {
    churner.Frame([&](EntityId id) { plain.Destroy(static_cast<std::uint32_t>(id)); },
                  [&] { return static_cast<EntityId>(plain.Create()); }, [&] { plain.Walk(); });
}

// Runs `core` and `plain` once per iteration (each returns the nanoseconds of its timed part)
// and reports both per entity, and their ratio.
template <typename Core, typename PlainWork>
void Compare(benchmark::State& state, double entitiesPerRound, Core core, PlainWork plain) {
    double coreNs = 0.0;
    double plainNs = 0.0;
    for (auto _ : state) {
        // Free memory goes back to the system before each side, so that neither starts with
        // pages the other has already touched: the first touch of fresh memory is part of
        // growing, and both sides pay it alike.
        malloc_trim(0);
        const double ns = core();
        state.SetIterationTime(ns * 1e-9);
        coreNs += ns;
        malloc_trim(0);
        plainNs += plain();
    }
    const double rounds = static_cast<double>(state.iterations()) * entitiesPerRound;
    state.counters["core_ns"] = coreNs / rounds;
    state.counters["plain_ns"] = plainNs / rounds;
    state.counters["ratio"] = coreNs / plainNs;
}

void BM_Create(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    double allocations = 0.0;
    double heapBytes = 0.0;
    Compare(
        state, static_cast<double>(n),
        [&] {
            auto world = MakeWorld();
            const std::uint64_t allocationsBefore = HeapAllocations();
            const std::size_t heapBefore = mallinfo2().uordblks;
            const double ns = TimeNs([&] { Populate(*world, n); });
            allocations += static_cast<double>(HeapAllocations() - allocationsBefore);
            heapBytes += static_cast<double>(mallinfo2().uordblks - heapBefore);
            return ns;
        },
        [&] {
            Plain plain;
            return TimeNs([&] {
                for (std::int64_t i = 0; i < n; ++i) {
                    plain.Create();
                }
                benchmark::DoNotOptimize(plain.px.data());
            });
        });
    const double created = static_cast<double>(state.iterations()) * static_cast<double>(n);
    state.counters["allocs_per_entity"] = allocations / created;
    state.counters["heap_bytes_per_entity"] = heapBytes / created;
}

void BM_Destroy(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    Compare(
        state, static_cast<double>(n),
        [&] {
            auto world = MakeWorld();
            Populate(*world, n);
            return TimeNs([&] {
                for (EntityId id = 0; id < n; ++id) {
                    world->DestroyEntity(id);
                }
            });
        },
        [&] {
            Plain plain = MakePlain(n);
            plain.free.reserve(static_cast<std::size_t>(n));
            return TimeNs([&] {
                for (std::int64_t i = 0; i < n; ++i) {
                    plain.Destroy(static_cast<std::uint32_t>(i));
                }
                benchmark::DoNotOptimize(plain.free.data());
            });
        });
}

// Create or destroy as in a long game: the identifiers and record positions that the last
// round freed are reused, so no array grows and no fresh memory is touched.
void SteadyBench(benchmark::State& state, bool timeCreate) {
    const std::int64_t n = state.range(0);
    auto world = MakeWorld();
    Populate(*world, n);
    Plain plain = MakePlain(n);
    const auto destroyAll = [&] {
        for (EntityId id = 0; id < n; ++id) {
            world->DestroyEntity(id);
        }
    };
    const auto destroyAllPlain = [&] {
        for (std::int64_t i = 0; i < n; ++i) {
            plain.Destroy(static_cast<std::uint32_t>(i));
        }
        benchmark::DoNotOptimize(plain.free.data());
    };
    const auto createAllPlain = [&] {
        for (std::int64_t i = 0; i < n; ++i) {
            plain.Create();
        }
        benchmark::DoNotOptimize(plain.px.data());
    };
    // One timed half and one untimed, so that every round starts from a full world.
    const auto round = [&](auto destroy, auto create) {
        if (timeCreate) {
            destroy();
            return TimeNs(create);
        }
        const double ns = TimeNs(destroy);
        create();
        return ns;
    };
    const std::uint64_t allocationsBefore = HeapAllocations();
    Compare(
        state, static_cast<double>(n),
        [&] { return round(destroyAll, [&] { Populate(*world, n); }); },
        [&] { return round(destroyAllPlain, createAllPlain); });
    state.counters["allocs_per_entity"] =
        static_cast<double>(HeapAllocations() - allocationsBefore) /
        (static_cast<double>(state.iterations()) * static_cast<double>(n));
}

void BM_CreateSteady(benchmark::State& state) {
    SteadyBench(state, true);
}
void BM_DestroySteady(benchmark::State& state) {
    SteadyBench(state, false);
}

void BM_RandomGetComponent(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    auto world = MakeWorld();
    Populate(*world, n);
    Plain plain = MakePlain(n);
    std::vector<EntityId> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937{3});
    Compare(
        state, static_cast<double>(n),
        [&] {
            return TimeNs([&] {
                float sum = 0.0f;
                for (EntityId id : order) {
                    sum += Entity{id, &world->store}.GetComponent<Position>().x;
                }
                benchmark::DoNotOptimize(sum);
            });
        },
        [&] {
            return TimeNs([&] {
                float sum = 0.0f;
                for (EntityId id : order) {
                    sum += plain.px[static_cast<std::size_t>(id)];
                }
                benchmark::DoNotOptimize(sum);
            });
        });
}

// Walks the query and adds velocity to position, on a fresh world or after churn frames.
void WalkBench(benchmark::State& state, int churnFrames) {
    const std::int64_t n = state.range(0);
    auto world = MakeWorld();
    Populate(*world, n);
    Plain plain = MakePlain(n);
    Churner worldChurn = ChurnerOver(n);
    Churner plainChurn = ChurnerOver(n);
    for (int f = 0; f < churnFrames; ++f) {
        ChurnWorld(*world, worldChurn);
        ChurnPlain(plain, plainChurn);
    }
    Compare(
        state, static_cast<double>(n), [&] { return TimeNs([&] { Walk(*world); }); },
        [&] {
            return TimeNs([&] {
                plain.Walk();
                benchmark::DoNotOptimize(plain.px.data());
            });
        });
}

void BM_Walk(benchmark::State& state) {
    WalkBench(state, 0);
}
void BM_WalkAfterChurn(benchmark::State& state) {
    WalkBench(state, kChurnFramesBeforeWalk);
}

// Whole churn frames; reported per frame rather than per entity.
void BM_ChurnFrame(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    auto world = MakeWorld();
    Populate(*world, n);
    Plain plain = MakePlain(n);
    Churner worldChurn = ChurnerOver(n);
    Churner plainChurn = ChurnerOver(n);
    const std::uint64_t allocationsBefore = HeapAllocations();
    Compare(
        state, 1.0, [&] { return TimeNs([&] { ChurnWorld(*world, worldChurn); }); },
        [&] { return TimeNs([&] { ChurnPlain(plain, plainChurn); }); });
    state.counters["allocs_per_frame"] =
        static_cast<double>(HeapAllocations() - allocationsBefore) /
        static_cast<double>(state.iterations());
}

#define CORE_SIZES \
    ->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Create) CORE_SIZES;
BENCHMARK(BM_Destroy) CORE_SIZES;
BENCHMARK(BM_CreateSteady) CORE_SIZES;
BENCHMARK(BM_DestroySteady) CORE_SIZES;
BENCHMARK(BM_RandomGetComponent) CORE_SIZES;
BENCHMARK(BM_Walk) CORE_SIZES;
BENCHMARK(BM_WalkAfterChurn) CORE_SIZES;
BENCHMARK(BM_ChurnFrame) CORE_SIZES;
#undef CORE_SIZES

}  // namespace
