#pragma once

// Whether libwayland could find a compositor's socket from these environment values
// (WAYLAND_SOCKET, WAYLAND_DISPLAY, XDG_RUNTIME_DIR; null when unset): it needs an inherited
// socket, an absolute WAYLAND_DISPLAY, or an absolute XDG_RUNTIME_DIR to look in.
bool WaylandReachable(const char* socket, const char* display, const char* runtimeDir);

// Before SDL's video starts. When the player named no video driver and Wayland cannot be
// reached from this environment (common over ssh), SDL is given every other driver to try, in
// its own order: its Wayland probe would otherwise print libwayland's complaint about
// XDG_RUNTIME_DIR on standard error, twice, before the game runs on X11 or says why it cannot.
void SkipUnreachableWayland();
