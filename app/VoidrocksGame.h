#pragma once

#include "app/Game.h"

// The name of the game's one scene.
inline constexpr const char* kVoidrocksSceneName = "VoidrocksScene";

// The one concrete game: opens the platform, loads the sprites and runs its scene.
class VoidrocksGame : public Game {
  public:
    void Init() override;
    void Shutdown() override;
};

// Loads the eleven sprites of the game into the platform context's store.
struct SDLton;
void LoadGameSprites(SDLton& sdl);

// Says on standard error, with the folder it looked in, when the working directory has no
// Assets folder; returns whether it has one.
bool CheckAssetsFolder();

// The program: runs the game and returns the process's exit status. A platform that cannot
// show the game is reported on standard error with a non-zero status.
int RunVoidrocks();
