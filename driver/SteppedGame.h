#pragma once

#include <SDL3/SDL.h>

#include <array>
#include <cstdint>
#include <string>

#include "app/VoidrocksGame.h"
#include "platform/SDLton.h"

// The canvas as a surface (null with SDL's error when it cannot be read); the caller destroys it.
SDL_Surface* ReadCanvasPixels(const SDLton& sdl);

// The real game driven one frame at a time, for tests and tools: the same start-up as the
// program, a keyboard that the caller holds, and the canvas readable after any frame.
class SteppedGame : public VoidrocksGame {
  public:
    // Opens the platform, loads the sprites and sets the scene up. Without pacing, frames run
    // as fast as they are drawn.
    explicit SteppedGame(bool paced = false);
    ~SteppedGame();
    SteppedGame(const SteppedGame&) = delete;
    SteppedGame& operator=(const SteppedGame&) = delete;

    // Runs one frame; false once the scene has ended (quit or change raised).
    bool Step();

    // Starts the scene again from its setup through the game's own scene switch, as a scene
    // that names itself as the next one is restarted.
    void Restart();

    SDLton& Platform() const { return *GetSingleton<SDLton>(); }
    Scene& GameScene() { return *scenes.at(kVoidrocksSceneName); }

    // Key states by scancode, read by ship control.
    std::array<bool, SDL_SCANCODE_COUNT> keys{};
    // Frames run so far.
    std::int64_t frame = 0;

    // The canvas pixel at (x, y) as red, green, blue.
    Rgb CanvasPixel(int x, int y) const;
    // Writes the canvas as a PNG; false (with SDL's error) when it cannot.
    bool SaveCanvas(const std::string& path) const;
};
