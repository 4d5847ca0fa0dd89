// The core's work in fixed amounts, for counting instructions under valgrind's callgrind, which
// stay the same however busy the machine is:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*Measured*'
//       voidrocks_count <create|destroy|walk|churn|frame|plain-frame> <entities> <rounds>
// Only the functions named Measured are counted; setting up a world is not.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "GameplayField.h"
#include "PlainField.h"
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

// The share of live bodies replaced in one churn frame, as in the timed benchmark.
constexpr double kChurnShare = 0.01;

std::unique_ptr<World> MakeWorld() {
    auto world = std::make_unique<World>();
    world->store.RegisterComponent<Position, Velocity>();
    world->RegisterArchetype<Position, Velocity>("body");
    world->GetEntities<Position, Velocity>();
    return world;
}

// Measured functions never call each other: callgrind switches counting at each of their entries
// and exits, so a nested one would switch it off.
void Populate(World& world, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) {
        world.CreateEntity("body");
    }
}

[[gnu::noinline]] void MeasuredCreate(World& world, std::int64_t n) {
    Populate(world, n);
}

[[gnu::noinline]] void MeasuredDestroy(World& world, std::int64_t n) {
    for (EntityId id = 0; id < n; ++id) {
        world.DestroyEntity(id);
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

[[gnu::noinline]] void MeasuredWalk(World& world) {
    Walk(world);
}

// One churn frame: a random share of the live bodies destroyed, as many created, one walk.
[[gnu::noinline]] void MeasuredChurn(World& world, std::vector<EntityId>& liveIds,
                                     std::mt19937& random) {
    const auto count = static_cast<std::size_t>(static_cast<double>(liveIds.size()) * kChurnShare);
    for (std::size_t k = 0; k < count; ++k) {
        std::uniform_int_distribution<std::size_t> pick(0, liveIds.size() - 1);
        const std::size_t at = pick(random);
        world.DestroyEntity(liveIds[at]);
        liveIds[at] = liveIds.back();
        liveIds.pop_back();
    }
    for (std::size_t k = 0; k < count; ++k) {
        liveIds.push_back(world.CreateEntity("body").id);
    }
    Walk(world);
}

[[gnu::noinline]] void MeasuredFrame(GameplayField& game) {
    game.Frame();
}

[[gnu::noinline]] void MeasuredPlainFrame(PlainField& plain) {
    plain.Frame();
}

// Warm-up frames, then the counted ones through `measured`, each field tended between frames
// as beside the timed gameplay frame.
template <typename Field>
void RunField(Field& field, int rounds, void (*measured)(Field&)) {
    for (int f = 0; f < kWarmUpFrames; ++f) {
        field.Frame();
        field.Tend();
    }
    for (int r = 0; r < rounds; ++r) {
        measured(field);
        field.Tend();
    }
}

// The same game as plain arrays.
void RunPlainFrames(std::int64_t n, int rounds) {
    PlainField plain(n, 1);
    RunField(plain, rounds, MeasuredPlainFrame);
}

// The timed gameplay frame's crowded game: every simulation system, the ship flying and firing
// among voidrocks over their whole area.
void RunFrames(std::int64_t n, int rounds) {
    GameplayField game(n, 1);
    RunField(game, rounds, MeasuredFrame);
    if (!game.ShipAlive()) {
        std::cerr << "the ship did not live through the frames\n";
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: " << argv[0]
                  << " create|destroy|walk|churn|frame|plain-frame entities rounds\n";
        return 2;
    }
    const std::string work = argv[1];
    const std::int64_t n = std::atoll(argv[2]);
    const int rounds = std::atoi(argv[3]);
    if (work == "frame") {
        RunFrames(n, rounds);
        return 0;
    }
    if (work == "plain-frame") {
        RunPlainFrames(n, rounds);
        return 0;
    }
    for (int r = 0; r < rounds; ++r) {
        auto world = MakeWorld();
        if (work == "create") {
            MeasuredCreate(*world, n);
            continue;
        }
        Populate(*world, n);
        if (work == "destroy") {
            MeasuredDestroy(*world, n);
        } else if (work == "walk") {
            MeasuredWalk(*world);
        } else if (work == "churn") {
            std::vector<EntityId> liveIds(static_cast<std::size_t>(n));
            std::iota(liveIds.begin(), liveIds.end(), 0);
            std::mt19937 random{7};
            for (int f = 0; f < 20; ++f) {
                MeasuredChurn(*world, liveIds, random);
            }
        } else {
            std::cerr << "unknown work " << work << "\n";
            return 2;
        }
    }
    return 0;
}
