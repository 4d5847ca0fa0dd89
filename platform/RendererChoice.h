#pragma once

#include <SDL3/SDL.h>

#include <string_view>

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser that runs on the CPU,
// such as Mesa's llvmpipe, softpipe and swrast.
bool NamesSoftwareRasteriser(std::string_view glRenderer);

// The window's renderer. The platform's default, unless that draws through a software
// rasteriser: then SDL's own software renderer onto an unaccelerated window surface, which
// holds the display's frame rate where emulated OpenGL cannot. A renderer named by the player
// in SDL_RENDER_DRIVER is always kept. Null, with SDL's error, when none can be created.
SDL_Renderer* CreateGameRenderer(SDL_Window* window);
