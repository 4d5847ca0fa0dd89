#pragma once

#include "platform/SDLton.h"

// Frames go to the window at the display's rate. A GPU renderer waits for the display itself;
// for SDL's software renderer the game sleeps until the next frame is due, where SDL's own
// simulated wait would spin the processor through the last millisecond of each frame.
void SetFramePacing(SDLton& sdl, bool paced);

// Shows the frame drawn, then waits until the next one is due when frames are paced.
void PresentFrame(SDLton& sdl);
