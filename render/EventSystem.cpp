#include "render/EventSystem.h"

#include "platform/SDLton.h"

void EventSystem::Update() {
    SDLton* sdl = GetSingleton<SDLton>();
    SDL_Event event;
    // Draining the queue also keeps SDL's keyboard state current for ship control.
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_EVENT_QUIT) {
            world->quit = true;
        } else if (event.type == SDL_EVENT_KEY_DOWN && event.key.scancode == SDL_SCANCODE_F11) {
            // The mode is read from the window itself, so each press flips whatever it is.
            const bool fullscreen = (SDL_GetWindowFlags(sdl->window) & SDL_WINDOW_FULLSCREEN) != 0;
            SDL_SetWindowFullscreen(sdl->window, !fullscreen);
        }
    }
}
