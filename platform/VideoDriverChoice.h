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

// An empty file in the place of X's compose table, unless the player named one in
// XCOMPOSEFILE. The game reads keys, never text, so composed characters are never used; yet
// Xlib parses the locale's whole table (thousands of lines) while SDL opens the display, a
// good part of the start-up. Before SDL's video starts.
void SkipComposeTable();
