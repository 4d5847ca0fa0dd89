#pragma once

#include <cstdint>
#include <string>

#include "ecs/World.h"

// A timed on-screen message: its text, the top-left corner of the text in canvas pixels, and
// the frames it blinks before it goes away.
struct TimedMessage {
    const char* text;
    float x;
    float y;
    std::int32_t frames;
};

// Up at the start; when it ends, the follow-up takes its place.
inline constexpr TimedMessage kOpeningMessage{"Press UP, DOWN, LEFT, RIGHT to fly.", 435.0f, 540.0f,
                                              300};
inline constexpr TimedMessage kFollowUpMessage{"Press SPACE to shoot.", 610.0f, 540.0f, 300};
// Up when the ship is destroyed; when it ends, so does the game.
inline constexpr TimedMessage kGameOverMessage{"GAME OVER", 800.0f, 540.0f, 1000};
// Announces a completed phase; the phase's number follows the text.
inline constexpr TimedMessage kPhaseMessage{"Phase ", 850.0f, 540.0f, 240};

// Puts the message up: an "instructions" entity in the group of timed messages.
Entity ShowMessage(World& world, const TimedMessage& message);
// The same, with another text in the message's place and for its time.
Entity ShowMessage(World& world, const TimedMessage& message, std::string text);
