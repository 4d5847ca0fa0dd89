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

// Whether the video drivers named (SDL_VIDEO_DRIVER's comma-separated list; none named is
// every driver) may open an X11 or Wayland window.
bool MayOpenDesktop(const char* videoDrivers);

// Starts listing EGL's devices on a thread of its own, to be called before SDL opens the
// display: the answer CreateGameRenderer needs in a desktop window is then ready, or nearly,
// when it asks for it, instead of costing start-up its own time after the window is made.
// Nothing is started where the answer will not be asked for: a renderer named by the player,
// or video drivers named that are neither X11 nor Wayland (the headless ones).
void StartEglDeviceProbe();

// Waits for a probe still running; for a platform closed before its renderer was chosen.
void FinishEglDeviceProbe();

// The window's renderer. The platform's default, unless that draws through a software
// rasteriser: then SDL's own software renderer onto an unaccelerated window surface, which
// holds the display's frame rate where emulated OpenGL cannot. A renderer named by the player
// in SDL_RENDER_DRIVER is always kept. Null, with SDL's error, when none can be created.
// In an X11 or Wayland window where EGL lists only software devices, the answer is known
// without loading OpenGL at all (which costs more at start-up than the rest of it); otherwise
// OpenGL is asked. EGL's answer is the probe's when one was started.
SDL_Renderer* CreateGameRenderer(SDL_Window* window);
