#include "render/InstructionsSystem.h"

#include <algorithm>
#include <string_view>

#include "app/SDLton.h"
#include "game/Components.h"
#include "game/Message.h"

namespace {
// Visible when the count modulo 50 is above 10: 39 frames shown, 11 hidden, per period.
constexpr std::int32_t kBlinkPeriodFrames = 50;
constexpr std::int32_t kBlinkHiddenBelow = 10;
constexpr const char* kOpeningText = "Press UP, DOWN, LEFT, RIGHT to fly.";
constexpr const char* kFollowUpText = "Press SPACE to shoot.";
constexpr float kFollowUpX = 610.0f;
constexpr float kFollowUpY = 540.0f;
constexpr std::int32_t kFollowUpFrames = 300;
constexpr const char* kGameOverText = "GAME OVER";
// Phase announcements share the line of "GAME OVER"; they end when it goes up.
constexpr std::string_view kPhaseTextPrefix = "Phase ";
}  // namespace

void InstructionsSystem::Update() {
    // A snapshot: a follow-up made in this pass is first visited next frame.
    const auto messages = GetGroup("instructions");
    const bool gameOver = std::any_of(messages.begin(), messages.end(), [](const Entity& e) {
        return e.GetComponent<TextRenderer>().text == kGameOverText;
    });
    for (const Entity& e : messages) {
        TextRenderer& label = e.GetComponent<TextRenderer>();
        InstructionsTimer& timer = e.GetComponent<InstructionsTimer>();
        const bool overlapsGameOver = gameOver && label.text.starts_with(kPhaseTextPrefix);
        if (timer.frames > 0 && !overlapsGameOver) {
            label.visible = timer.frames % kBlinkPeriodFrames > kBlinkHiddenBelow;
            --timer.frames;
            continue;
        }
        if (label.texture != nullptr) {
            SDL_DestroyTexture(label.texture);
            label.texture = nullptr;
        }
        if (label.text == kOpeningText) {
            ShowMessage(*world, kFollowUpText, kFollowUpX, kFollowUpY, kFollowUpFrames);
        } else if (label.text == kGameOverText) {
            world->quit = true;
        }
        QueueDestroy(e);
    }
}
