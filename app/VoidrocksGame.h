#pragma once

#include <filesystem>
#include <span>
#include <string_view>

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

// Every text the game can show, at its longest: the font must fit each of them on the canvas.
std::span<const std::string_view> GameTexts();

// Makes sure the working folder has an Assets folder: the working folder's own wins; without
// one, the executable's folder becomes the working folder when it has one. Otherwise says on
// standard error, with both folders, that there is none, and returns false.
bool FindAssetsFolder(const std::filesystem::path& executableFolder);

// FindAssetsFolder with the folder of the running executable.
bool CheckAssetsFolder();

// The program: runs the game and returns the process's exit status. A platform that cannot
// show the game is reported on standard error with a non-zero status.
int RunVoidrocks();
