#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ecs/World.h"
#include "platform/SDLton.h"

// The bookkeeping every frame of a game must keep, checked from outside after each frame.
// Every check of the core's internals lives in this file pair, so that a change of the core
// touches only here.
class Invariants {
  public:
    // Starts a new game: forgets what was seen in the last one. The counts are the textures
    // made from surfaces and destroyed so far.
    void StartGame(std::int64_t texturesMadeBefore, std::int64_t texturesDestroyedBefore);

    // Checks the world after a frame; `ended` is whether the frame ended the scene. The
    // counts are all textures made from surfaces and destroyed so far. Returns the failures.
    std::vector<std::string> AfterFrame(World& world, bool ended, std::int64_t texturesMade,
                                        std::int64_t texturesDestroyed);

    std::int64_t frame = 0;
    std::int64_t hitFrame = 0;

  private:
    void CheckIdentifiers(World& world);
    void CheckQueries(World& world);
    void CheckGroups(World& world);
    void CheckArrays(World& world);
    void CheckShip(World& world);
    void CheckScoreAndExplosions(World& world);
    void CheckEnding(World& world, bool ended);
    void CheckTextTextures(World& world, std::int64_t made, std::int64_t destroyed);
    void Fail(const std::string& what);

    std::vector<std::string> failures;
    std::int64_t madeAtStart = 0, destroyedAtStart = 0;
    std::int32_t lastScore = 0;
    // Age in frames and timer of each explosion alive after the last frame, by identifier.
    struct Explosion {
        std::int32_t age = 0, frames = 0;
    };
    std::map<EntityId, Explosion> explosions;
};
