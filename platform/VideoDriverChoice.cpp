#include "platform/VideoDriverChoice.h"

#include <SDL3/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kWayland = "wayland";
#ifndef _WIN32
// Xlib's name for its compose table, read from the C library's environment.
constexpr const char* kComposeFile = "XCOMPOSEFILE";
constexpr const char* kEmptyFile = "/dev/null";
#endif

bool Absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

}  // namespace

bool WaylandReachable(const char* socket, const char* display, const char* runtimeDir) {
    return socket != nullptr || Absolute(display) || Absolute(runtimeDir);
}

void SkipUnreachableWayland() {
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEO_DRIVER);
    if ((chosen != nullptr && *chosen != '\0') ||
        WaylandReachable(SDL_getenv("WAYLAND_SOCKET"), SDL_getenv("WAYLAND_DISPLAY"),
                         SDL_getenv("XDG_RUNTIME_DIR"))) {
        return;
    }
    // Drivers that only start when named alone (dummy, offscreen) stay off in a list.
    std::string others;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* name = SDL_GetVideoDriver(i);
        if (name != nullptr && std::strcmp(name, kWayland) != 0) {
            others += (others.empty() ? "" : ",") + std::string(name);
        }
    }
    if (!others.empty()) {
        SDL_SetHint(SDL_HINT_VIDEO_DRIVER, others.c_str());
    }
}

void SkipComposeTable() {
#ifndef _WIN32
    if (std::getenv(kComposeFile) == nullptr) {
        SDL_setenv_unsafe(kComposeFile, kEmptyFile, 0);
    }
#endif
}
