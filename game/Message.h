#pragma once

#include <cstdint>
#include <string>

#include "ecs/World.h"

// Puts up a timed on-screen message: an "instructions" entity whose text blinks for the given
// number of frames with its top-left corner at (x, y), then goes away.
Entity ShowMessage(World& world, std::string text, float x, float y, std::int32_t frames);
