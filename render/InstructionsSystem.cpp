#include "render/InstructionsSystem.h"

#include <algorithm>

#include "game/Components.h"
#include "game/Message.h"
#include "game/Names.h"
#include "platform/SDLton.h"

namespace {
// Visible when the count modulo 50 is above 10: 39 frames shown, 11 hidden, per period.
constexpr std::int32_t kBlinkPeriodFrames = 50;
constexpr std::int32_t kBlinkHiddenBelow = 10;
}  // namespace

void InstructionsSystem::Update() {
    // A snapshot: a follow-up made in this pass is first visited next frame.
    const auto messages = GetGroup(kInstructionsGroup);
    const bool gameOver = std::any_of(messages.begin(), messages.end(), [](const Entity& e) {
        return e.GetComponent<TextRenderer>().text == kGameOverMessage.text;
    });
    for (const Entity& e : messages) {
        TextRenderer& label = e.GetComponent<TextRenderer>();
        InstructionsTimer& timer = e.GetComponent<InstructionsTimer>();
        // Phase announcements share the line of "GAME OVER"; they end when it goes up.
        const bool overlapsGameOver = gameOver && label.text.starts_with(kPhaseMessage.text);
        if (timer.frames > 0 && !overlapsGameOver) {
            label.visible = timer.frames % kBlinkPeriodFrames > kBlinkHiddenBelow;
            --timer.frames;
            continue;
        }
        if (label.texture != nullptr) {
            SDL_DestroyTexture(label.texture);
            label.texture = nullptr;
        }
        if (label.text == kOpeningMessage.text) {
            ShowMessage(*world, kFollowUpMessage);
        } else if (label.text == kGameOverMessage.text) {
            world->quit = true;
        }
        QueueDestroy(e);
    }
}
