#include "platform/FramePacing.h"

namespace {

// When the display does not say its rate.
constexpr int kDefaultFramesPerSecond = 60;
// After a longer stall (a dragged window, a debugger) the pace starts afresh rather than
// hurrying to catch up.
constexpr Uint64 kLongestCatchUpNs = SDL_NS_PER_SECOND;

Uint64 FrameIntervalNs(SDL_Window* window) {
    const SDL_DisplayMode* mode = SDL_GetCurrentDisplayMode(SDL_GetDisplayForWindow(window));
    const float rate = mode != nullptr && mode->refresh_rate > 0.0f
                           ? mode->refresh_rate
                           : static_cast<float>(kDefaultFramesPerSecond);
    return static_cast<Uint64>(static_cast<double>(SDL_NS_PER_SECOND) / rate);
}

}  // namespace

void SetFramePacing(SDLton& sdl, bool paced) {
#ifdef __EMSCRIPTEN__
    // A page must not sleep: the browser's animation frames pace it.
    const bool software = false;
#else
    const bool software = DrawsInSoftware(sdl.renderer);
#endif
    SDL_SetRenderVSync(sdl.renderer, paced && !software ? 1 : 0);
    sdl.frameIntervalNs = paced && software ? FrameIntervalNs(sdl.window) : 0;
    sdl.lastPresentNs = 0;
}

void PresentFrame(SDLton& sdl) {
    SDL_RenderPresent(sdl.renderer);
    const Uint64 interval = sdl.frameIntervalNs;
    if (interval == 0) {
        return;
    }
    Uint64 now = SDL_GetTicksNS();
    if (sdl.lastPresentNs != 0 && now - sdl.lastPresentNs < interval) {
        SDL_DelayNS(interval - (now - sdl.lastPresentNs));
        now = SDL_GetTicksNS();
    }
    const Uint64 elapsed = now - sdl.lastPresentNs;
    // Due times stay on a fixed grid, so that a late wake-up shortens the next wait.
    if (sdl.lastPresentNs == 0 || elapsed > kLongestCatchUpNs) {
        sdl.lastPresentNs = now;
    } else {
        sdl.lastPresentNs += elapsed / interval * interval;
    }
}
