#pragma once

#include <cstdint>
#include <string>

#include "game/Tuning.h"

struct SDL_Texture;

// The game's component records: plain data, with the defaults a new component holds.
// Positions are canvas pixels (1920 x 1080, origin top-left, y down); velocities are pixels
// per frame; angles are degrees, clockwise on screen; timers count frames.

// Where a body is, how it moves and how it is turned. For a sprite, x and y are its centre;
// for a text, its top-left corner.
struct Transform {
    float x = 0;
    float y = 0;
    float vx = 0;
    float vy = 0;
    float angularVelocity = 0;
    float rotation = 0;
};

// Which sprite of the asset store is drawn for a body.
struct SpriteRenderer {
    std::string sprite;
};

// Voidrock size classes; any value other than big or medium counts as small.
inline constexpr std::int32_t kSmallVoidrock = 0;
inline constexpr std::int32_t kMediumVoidrock = 1;
inline constexpr std::int32_t kBigVoidrock = 2;

struct Voidrock {
    std::int32_t size = kSmallVoidrock;
};

// Frames left before the entity is destroyed.
struct DestroyTimer {
    std::int32_t frames = kExplosionFrames;
};

// A line of text. The record owns texture; renderedText is the text it was made from.
struct TextRenderer {
    std::string text;
    std::string renderedText;
    SDL_Texture* texture = nullptr;
    bool visible = true;
};

struct Score {
    std::int32_t value = 0;
};

// Frames an on-screen message still stays; at 0 or below it ends.
struct InstructionsTimer {
    std::int32_t frames = 0;
};

// The player's gun: frames until it can fire again, and whether the fire key was down at the
// end of the previous update (a shot needs a fresh press).
struct Ship {
    std::int32_t reloadFrames = 0;
    bool fireHeld = false;
};
