#pragma once

// Where the 1920 x 1080 canvas goes in a window: the largest rectangle of the canvas's
// proportions that fits, centred; an odd remainder goes to the right or bottom edge.
struct CanvasPlacement {
    int x;
    int y;
    int w;
    int h;
};

CanvasPlacement FitCanvas(int windowWidth, int windowHeight);
