#pragma once

#include <SDL3/SDL_scancode.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>

#include "app/VoidrocksScene.h"

// Frames played before any is measured: long enough for the gun to have fired and reloaded,
// bullets to have left the field and the first explosions to be gone, so that measured frames
// see a game in its stride.
inline constexpr int kWarmUpFrames = 120;

// A crowded game whose simulation is measured frame by frame: the scene's own systems in their
// order, without the input, drawing and text ones; a ship flown and fired by the scripted pilot;
// voidrocks over their whole wrap-around area, drifting as the spawner draws them.
class GameplayField {
  public:
    GameplayField(std::int64_t voidrocks, std::uint32_t seed);

    // One frame of the simulation: the part that is timed.
    void Frame();
    // Between frames, untimed: moves away every voidrock that would touch the ship in the next
    // frame, and brings the crowd back to its size (bullets thin it, the spawner adds to it).
    void Tend();

    // The simulation systems, in the order they run.
    std::size_t SystemCount() const { return scene->systems.size(); }
    bool ShipAlive();
    std::size_t Bullets();
    std::int64_t frame = 0;

  private:
    std::int64_t crowd;
    std::mt19937 random;
    std::array<bool, SDL_SCANCODE_COUNT> keys{};
    std::shared_ptr<VoidrocksScene> scene;
};
