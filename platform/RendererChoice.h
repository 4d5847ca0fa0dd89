#pragma once

#include <SDL3/SDL.h>

#include <span>
#include <string>
#include <string_view>

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser that runs on the CPU,
// such as Mesa's llvmpipe, softpipe and swrast.
bool NamesSoftwareRasteriser(std::string_view glRenderer);

// Whether the devices EGL lists, each given by its extension string, all draw on the CPU
// (Mesa's software device): then OpenGL here can only be a software rasteriser. False for no
// devices, as EGL then cannot say.
bool OnlySoftwareDevices(std::span<const std::string> deviceExtensions);

// The window's renderer. The platform's default, unless that draws through a software
// rasteriser: then SDL's own software renderer onto an unaccelerated window surface, which
// holds the display's frame rate where emulated OpenGL cannot. A renderer named by the player
// in SDL_RENDER_DRIVER is always kept. Null, with SDL's error, when none can be created.
// In an X11 or Wayland window where EGL lists only software devices, the answer is known
// without loading OpenGL at all (which costs more at start-up than the rest of it); otherwise
// OpenGL is asked.
SDL_Renderer* CreateGameRenderer(SDL_Window* window);
