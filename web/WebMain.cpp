// The program in a browser page. A page must hand control back to the browser after every
// frame, so the game runs in its three steps: started here, one frame per animation frame of
// the browser, finished when the game is over. The page hears of the end through
// Module.onGameEnded(status, frames) and reads the frames run so far in Module.voidrocksFrames.
#define SDL_MAIN_HANDLED
#include <SDL3/SDL.h>
#include <SDL3/SDL_main.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "app/VoidrocksGame.h"
#include "platform/SDLton.h"

namespace {

// 0: the browser's animation frames pace the loop, as vertical sync paces the desktop's.
constexpr int kBrowserPacedFramesPerSecond = 0;

VoidrocksGame game;
bool running = false;
int frames = 0;

// What the page hears: the frames run so far, and the end with its status.
EM_JS(void, TellFrames, (int count), { Module.voidrocksFrames = count; });
EM_JS(void, TellEnded, (int status, int count), {
    if (Module.onGameEnded) {
        Module.onGameEnded(status, count);
    }
});

void Ended(int status) {
    running = false;
    emscripten_cancel_main_loop();
    TellEnded(status, frames);
}

void Frame() {
    ++frames;
    const bool more = game.RunFrame();
    TellFrames(frames);
    if (!more) {
        game.Finish();
        Ended(0);
    }
}

// Closing the tab closes the window: the frame that sees the close ends the game, as on the
// desktop, before the page goes.
const char* OnLeave(int, const void*, void*) {
    if (running) {
        SDL_Event quit{.type = SDL_EVENT_QUIT};
        SDL_PushEvent(&quit);
        Frame();
    }
    return nullptr;
}

int RealMain(int, char**) {
    try {
        game.Start(kVoidrocksSceneName);
    } catch (const PlatformError& error) {
        std::fprintf(stderr, "Voidrocks cannot start: %s\n", error.what());
        Ended(1);
        return 1;
    }
    running = true;
    emscripten_set_beforeunload_callback(nullptr, OnLeave);
    emscripten_set_main_loop(Frame, kBrowserPacedFramesPerSecond, false);
    return 0;
}

}  // namespace

int main() {
    return SDL_RunApp(0, nullptr, RealMain, nullptr);
}
