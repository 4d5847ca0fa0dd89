#include <tuple>

#include "render/InstructionsSystem.h"
#include "support/Presentation.h"

const std::string kOpening = "Press UP, DOWN, LEFT, RIGHT to fly.";
const std::string kGameOver = "GAME OVER";

class InstructionsSystemTest : public PresentationTest<InstructionsSystem> {
  protected:
    Entity Message(const std::string& text, int frames) {
        Entity e = Make("instructions", "instructions", 435, 540);
        e.GetComponent<TextRenderer>().text = text;
        e.GetComponent<InstructionsTimer>().frames = frames;
        return e;
    }

    // Runs frames until the message ends: per frame lived '+' shown, '-' hidden.
    std::string Lifetime(const Entity e, const std::string& textAfterFirstFrame = "") {
        std::string seen;
        for (int frame = 1; frame <= 1000; ++frame) {
            Frame();
            if (!world.IsLive(e.id)) {
                break;
            }
            EXPECT_FALSE(world.quit) << "quit while the message lives";
            seen += e.GetComponent<TextRenderer>().visible ? '+' : '-';
            if (frame == 1 && !textAfterFirstFrame.empty()) {
                e.GetComponent<TextRenderer>().text = textAfterFirstFrame;
            }
        }
        return seen;
    }
};

TEST_F(InstructionsSystemTest, EachOpeningTextBlinksThenBringsAFollowUpThatBlinksThenEnds) {
    // Count 300 hidden; then per 50 frames 39 shown and 11 hidden; the last 10 hidden.
    std::string blink = "-";
    for (int period = 0; period < 6; ++period) {
        blink += std::string(39, '+') + std::string(period < 5 ? 11 : 10, '-');
    }
    const Entity first = Message(kOpening, 300);
    Message(kOpening, 300);
    EXPECT_EQ(Lifetime(first), blink);
    ASSERT_EQ(world.groups["instructions"].size(), 2u);
    for (const Entity& e : world.groups["instructions"]) {
        EXPECT_EQ(e.GetComponent<TextRenderer>().text, "Press SPACE to shoot.");
        EXPECT_EQ(e.GetComponent<Transform>().x, 610.0f);
        EXPECT_EQ(e.GetComponent<Transform>().y, 540.0f);
        EXPECT_EQ(e.GetComponent<InstructionsTimer>().frames, 300);
    }
    EXPECT_EQ(Lifetime(*world.groups["instructions"].begin()), blink);
    EXPECT_TRUE(world.groups["instructions"].empty());
    EXPECT_FALSE(world.quit);
}

TEST_F(InstructionsSystemTest, MessagesEndWhenTheirCountRunsOutAndOnlyGameOverQuits) {
    // Text, count, text after the first frame, visibility while it lives, whether it quits.
    const std::tuple<std::string, int, std::string, std::string, bool> table[] = {
        {kGameOver, 3, "", "---", true},       {"Phase 9", 3, kGameOver, "---", true},
        {kGameOver + "!", 2, "", "--", false}, {kOpening + " ", 2, "", "--", false},
        {"Phase 3", 1, "", "-", false},        {"Phase 4", 0, "", "", false},
        {"Phase 5", -7, "", "", false},
    };
    for (const auto& [text, frames, later, seen, quits] : table) {
        SCOPED_TRACE(text + " from " + std::to_string(frames));
        world.quit = false;
        const Entity e = Message(text, frames);
        SDL_Texture* texture = SDL_CreateTexture(sdl->renderer, SDL_PIXELFORMAT_RGBA8888,
                                                 SDL_TEXTUREACCESS_STATIC, 8, 8);
        ASSERT_NE(texture, nullptr) << SDL_GetError();
        e.GetComponent<TextRenderer>().texture = texture;
        EXPECT_EQ(Lifetime(e, later), seen);
        EXPECT_EQ(world.quit, quits);
        EXPECT_TRUE(world.groups["instructions"].empty());
        // No texture was made since, so the address cannot be a live one.
        EXPECT_EQ(SDL_GetTextureProperties(texture), 0u);
    }
}

TEST_F(InstructionsSystemTest, GameOverEndsEveryPhaseMessageAndNothingElse) {
    const Entity phase = Message("Phase 3", 240);
    const Entity other = Message("Press SPACE to shoot.", 240);
    Frame();
    const Entity over = Message(kGameOver, 1000);
    Frame();
    EXPECT_FALSE(world.IsLive(phase.id));
    EXPECT_EQ(other.GetComponent<InstructionsTimer>().frames, 238);
    EXPECT_EQ(over.GetComponent<InstructionsTimer>().frames, 999);
    // One announced while "GAME OVER" is up ends before it is ever drawn.
    const Entity late = Message("Phase 4", 240);
    Frame();
    EXPECT_FALSE(world.IsLive(late.id));
    EXPECT_TRUE(world.IsLive(over.id));
    EXPECT_FALSE(world.quit);
}
