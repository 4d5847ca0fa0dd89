#include "render/InstructionsSystem.h"

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
}  // namespace

void InstructionsSystem::Update() {
    // A snapshot: a follow-up made in this pass is first visited next frame.
    for (const Entity& e : GetGroup("instructions")) {
        TextRenderer& label = e.GetComponent<TextRenderer>();
        InstructionsTimer& timer = e.GetComponent<InstructionsTimer>();
        if (timer.frames > 0) {
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
