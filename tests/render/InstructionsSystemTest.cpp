#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/InstructionsSystem.h"
#include "render/PresentationFixture.h"

namespace {

const std::string kOpening = "Press UP, DOWN, LEFT, RIGHT to fly.";
const std::string kFollowUp = "Press SPACE to shoot.";
const std::string kGameOver = "GAME OVER";

class InstructionsSystemTest : public PresentationTest {
  protected:
    void SetUp() override {
        PresentationTest::SetUp();
        RunSystems<InstructionsSystem>();
    }

    Entity Message(const std::string& text, std::int32_t frames) {
        Entity e = Create("instructions");
        e.GetComponent<TextRenderer>().text = text;
        e.GetComponent<InstructionsTimer>().frames = frames;
        TheWorld().AddToGroup(e, "instructions");
        return e;
    }

    bool Live(const Entity& e) { return TheWorld().IsLive(e.id); }

    std::vector<Entity> WithText(const std::string& text) {
        std::vector<Entity> found;
        for (const Entity& e : TheWorld().groups["instructions"]) {
            if (e.GetComponent<TextRenderer>().text == text) {
                found.push_back(e);
            }
        }
        return found;
    }
};

// Visibility frame by frame, as runs of (shown, frames).
std::vector<bool> Frames(const std::vector<std::pair<bool, int>>& runs) {
    std::vector<bool> frames;
    for (const auto& [shown, count] : runs) {
        frames.insert(frames.end(), static_cast<std::size_t>(count), shown);
    }
    return frames;
}

TEST_F(InstructionsSystemTest, ThreeHundredFramesBlinkThenTheMessageEndsInFrame301) {
    const Entity e = Message("Phase 2", 300);
    std::vector<bool> seen;
    for (int frame = 1; frame <= 300; ++frame) {
        EXPECT_TRUE(Frame());
        ASSERT_TRUE(Live(e)) << "frame " << frame;
        seen.push_back(e.GetComponent<TextRenderer>().visible);
    }
    // Counts 300 | 299..261 shown, 260..250 hidden (five times) | 49..11 shown | 10..1 hidden.
    std::vector<std::pair<bool, int>> runs = {{false, 1}};
    for (int period = 0; period < 5; ++period) {
        runs.insert(runs.end(), {{true, 39}, {false, 11}});
    }
    runs.insert(runs.end(), {{true, 39}, {false, 10}});
    const std::vector<bool> expected = Frames(runs);
    ASSERT_EQ(expected.size(), 300u);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(e.GetComponent<InstructionsTimer>().frames, 0);

    EXPECT_TRUE(Frame());
    EXPECT_FALSE(Live(e));
    EXPECT_FALSE(TheWorld().groups["instructions"].Contains(e.id));
}

TEST_F(InstructionsSystemTest, ShortAndSpentCounts) {
    const Entity one = Message("Phase 3", 1);
    const Entity zero = Message("Phase 4", 0);
    const Entity negative = Message("Phase 5", -7);
    Frame();
    // Count 1: remainder 1 hides it for one frame.
    ASSERT_TRUE(Live(one));
    EXPECT_FALSE(one.GetComponent<TextRenderer>().visible);
    EXPECT_FALSE(Live(zero));
    EXPECT_FALSE(Live(negative));
    Frame();
    EXPECT_FALSE(Live(one));
    EXPECT_FALSE(TheWorld().quit);
    EXPECT_TRUE(TheWorld().groups["instructions"].empty());
}

TEST_F(InstructionsSystemTest, TheOpeningTextBringsTheFollowUpWhichEnds301FramesLater) {
    const Entity opening = Message(kOpening, 300);
    opening.GetComponent<Transform>().x = 435;
    opening.GetComponent<Transform>().y = 540;
    for (int frame = 1; frame <= 300; ++frame) {
        Frame();
    }
    EXPECT_TRUE(WithText(kFollowUp).empty());

    Frame();  // 301: the opening ends
    EXPECT_FALSE(Live(opening));
    const std::vector<Entity> followUps = WithText(kFollowUp);
    ASSERT_EQ(followUps.size(), 1u);
    ASSERT_EQ(TheWorld().groups["instructions"].size(), 1u);
    const Entity next = followUps.front();
    const Transform& at = next.GetComponent<Transform>();
    EXPECT_EQ(at.x, 610.0f);
    EXPECT_EQ(at.y, 540.0f);
    EXPECT_EQ(at.vx, 0.0f);
    EXPECT_EQ(at.rotation, 0.0f);
    EXPECT_EQ(next.GetComponent<InstructionsTimer>().frames, 300);
    // Not visited yet: shown in the frame it is made in.
    const TextRenderer& label = next.GetComponent<TextRenderer>();
    EXPECT_TRUE(label.visible);
    EXPECT_EQ(label.texture, nullptr);
    EXPECT_EQ(label.renderedText, "");

    for (int frame = 1; frame <= 300; ++frame) {
        Frame();
        ASSERT_TRUE(Live(next)) << "frame " << frame << " after the follow-up was made";
    }
    Frame();
    EXPECT_FALSE(Live(next));
    // The follow-up brings nothing after it and does not end the game.
    EXPECT_TRUE(TheWorld().groups["instructions"].empty());
    EXPECT_FALSE(TheWorld().quit);
}

TEST_F(InstructionsSystemTest, TwoOpeningTextsEndingTogetherBringOneFollowUpEach) {
    Message(kOpening, 2);
    Message(kOpening, 2);
    Frame();
    Frame();
    EXPECT_TRUE(WithText(kFollowUp).empty());
    Frame();
    EXPECT_TRUE(WithText(kOpening).empty());
    EXPECT_EQ(WithText(kFollowUp).size(), 2u);
}

TEST_F(InstructionsSystemTest, GameOverEndsTheGameWhenItRunsOut) {
    Message(kGameOver, 3);
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(Frame());
    EXPECT_FALSE(TheWorld().quit);
    EXPECT_FALSE(Frame());
    EXPECT_TRUE(TheWorld().quit);
    EXPECT_TRUE(TheWorld().groups["instructions"].empty());
}

TEST_F(InstructionsSystemTest, TheTextIsReadWhenTheMessageEnds) {
    const Entity e = Message("Phase 9", 3);
    Frame();
    e.GetComponent<TextRenderer>().text = kGameOver;
    Frame();
    Frame();
    EXPECT_FALSE(TheWorld().quit);
    EXPECT_FALSE(Frame());
    EXPECT_TRUE(TheWorld().quit);
}

TEST_F(InstructionsSystemTest, TextsThatOnlyResembleTheKeyTextsAreOrdinary) {
    Message(kOpening + " ", 0);
    Message(kOpening.substr(0, kOpening.size() - 1), 0);
    Message("Press up, down, left, right to fly.", 0);
    Message(kGameOver + "!", 0);
    Message("GAME  OVER", 0);
    Message("game over", 0);
    Message(kGameOver.substr(0, kGameOver.size() - 1), 0);
    // Same bytes up to an embedded NUL: the length decides.
    Message(std::string("GAME OVER\0", 10), 0);
    EXPECT_TRUE(Frame());
    EXPECT_FALSE(TheWorld().quit);
    EXPECT_TRUE(TheWorld().groups["instructions"].empty());
    EXPECT_TRUE(Frame());
}

TEST_F(InstructionsSystemTest, AnEndingMessageReleasesItsTexture) {
    SDL_Texture* texture =
        SDL_CreateTexture(sdl->renderer, SDL_PIXELFORMAT_RGBA8888, SDL_TEXTUREACCESS_STATIC, 8, 8);
    ASSERT_NE(texture, nullptr) << SDL_GetError();
    ASSERT_NE(SDL_GetTextureProperties(texture), 0u);
    const Entity e = Message("Phase 2", 1);
    e.GetComponent<TextRenderer>().texture = texture;
    Frame();
    EXPECT_NE(SDL_GetTextureProperties(texture), 0u) << "released before the message ended";
    Frame();
    EXPECT_FALSE(Live(e));
    // Nothing made a texture since, so the address cannot belong to a live one.
    EXPECT_EQ(SDL_GetTextureProperties(texture), 0u);
}

}  // namespace
