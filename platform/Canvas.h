#pragma once

// Every frame is drawn on a fixed canvas of this size, in pixels, then scaled into the window.
inline constexpr int kCanvasWidth = 1920;
inline constexpr int kCanvasHeight = 1080;
