#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/SteppedGame.h"
#include "game/Components.h"

// Whole games of the real program, driven frame by frame without pacing. Which voidrocks come
// when follows from the C library's rand in its unseeded state (glibc here), which every
// SteppedGame starts from.

namespace {

// A safety net for a game that would not end; both games below end long before.
constexpr std::int64_t kFrameLimit = 20000;
constexpr std::int32_t kGameOverFrames = 1000;

struct HeldKeys {
    std::int64_t from;
    std::int64_t to;
    std::vector<SDL_Scancode> keys;
};

struct Outcome {
    std::int64_t gameOverFrame = 0;
    std::int64_t endFrame = 0;
    std::int64_t firstHitFrame = 0;
    std::int32_t score = 0;
    // FNV-1a over the frame number and the ship's Transform after every frame it exists in.
    std::uint64_t shipTrace = 14695981039346656037ull;
    bool shipEverMoved = false;
};

void Mix(std::uint64_t& hash, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
}

std::vector<Entity> WithText(World& world, const char* text) {
    std::vector<Entity> found;
    for (const Entity& e : world.groups["instructions"]) {
        if (e.GetComponent<TextRenderer>().text == text) {
            found.push_back(e);
        }
    }
    return found;
}

Outcome Play(const std::vector<HeldKeys>& script) {
    SteppedGame game;
    // Only the window shrinks, which saves scaling the canvas into it; the game still draws
    // into its 1920 x 1080 canvas.
    SDL_SetWindowSize(game.Platform().window, 192, 108);
    World& world = game.GameScene().world;
    Outcome out;
    bool running = true;
    while (running) {
        if (game.frame >= kFrameLimit) {
            ADD_FAILURE() << "the game did not end within " << kFrameLimit << " frames";
            break;
        }
        const std::int64_t frame = game.frame + 1;
        game.keys.fill(false);
        for (const HeldKeys& held : script) {
            if (held.from <= frame && frame <= held.to) {
                for (SDL_Scancode key : held.keys) {
                    game.keys[key] = true;
                }
            }
        }
        running = game.Step();
        EXPECT_EQ(game.frame, frame);

        for (const Entity& ship : world.groups["ship"]) {
            const Transform& t = ship.GetComponent<Transform>();
            Mix(out.shipTrace, &frame, sizeof frame);
            Mix(out.shipTrace, &t, sizeof t);
            out.shipEverMoved = out.shipEverMoved || t.x != 960.0f || t.y != 540.0f;
        }
        for (const Entity& board : *world.GetEntities<Score>()) {
            const std::int32_t score = board.GetComponent<Score>().value;
            if (score > 0 && out.firstHitFrame == 0) {
                out.firstHitFrame = frame;
            }
            out.score = score;
        }
        if (out.gameOverFrame == 0 && running) {
            const std::vector<Entity> messages = WithText(world, "GAME OVER");
            if (!messages.empty()) {
                out.gameOverFrame = frame;
                EXPECT_EQ(messages.size(), 1u);
                EXPECT_TRUE(world.groups["ship"].empty());
                // Made by the collision system earlier in this frame and already counted once
                // by the instructions overlay: 1000 % 50 is 0, so it starts hidden.
                const Entity m = messages.front();
                EXPECT_EQ(m.GetComponent<InstructionsTimer>().frames, kGameOverFrames - 1);
                EXPECT_FALSE(m.GetComponent<TextRenderer>().visible);
            }
        }
    }
    out.endFrame = game.frame;
    EXPECT_TRUE(world.quit);
    // Destroyed in the frame that ended the game, before it was drawn.
    EXPECT_TRUE(WithText(world, "GAME OVER").empty());
    return out;
}

TEST(EndToEnd, WithNoInputTheShipIsHitAndTheGameEndsAThousandFramesLater) {
    const Outcome out = Play({});
    // The ship never moves from (960, 540). The seventh voidrock, spawned in frame
    // 181 + 6 * 180 = 1261 at (-500, -500), is big (radius 136 against the ship) and drifts
    // at (0.7, 0.5), so after frame 1260 + t it is at (-500 + 0.7 t, -500 + 0.5 t). Its
    // distance to the ship first drops below 136 for t = 1926 (the root of
    // 0.74 t^2 - 3084 t + 3194704 = 0 is t = 1925.7): the position after frame 3186, which
    // the collision system of frame 3187 tests. No earlier voidrock comes that close.
    EXPECT_EQ(out.gameOverFrame, 3187);
    // "GAME OVER" is made in frame F by the collision system (third in the frame) and visited
    // by the instructions overlay (ninth) in that same frame with its count at 1000, so in
    // frame F + k the overlay finds the count at 1000 - k. It finds 0 in frame F + 1000,
    // raises quit, and the scene ends after that frame.
    EXPECT_EQ(out.endFrame, out.gameOverFrame + kGameOverFrames);
    EXPECT_EQ(out.score, 0);
    EXPECT_FALSE(out.shipEverMoved);
}

// Turns to the medium voidrock coming in from the top left and shoots it, fires once more
// after the hit has reloaded the gun, then turns to the small voidrock on the left and flies
// into it.
const std::vector<HeldKeys> kShootThenRam{
    {900, 907, {SDL_SCANCODE_LEFT}},  {950, 951, {SDL_SCANCODE_SPACE}},
    {980, 981, {SDL_SCANCODE_SPACE}}, {1000, 1008, {SDL_SCANCODE_A}},
    {1040, 1200, {SDL_SCANCODE_UP}},
};

TEST(EndToEnd, AScriptedGameShootsOneVoidrockAndReplaysIdentically) {
    const Outcome first = Play(kShootThenRam);
    // The expected frames come from a first run, checked by reasoning: eight frames of left
    // turn the ship to about -40.7 degrees, facing the medium voidrock of frame 361
    // (at (562, 90) in frame 950 and drifting at (1.8, 1.0)); the shot of frame 950 at
    // 39.2 pixels per frame covers the 600 pixels in 15 frames, inside its radius of 80.
    EXPECT_EQ(first.score, 1);
    EXPECT_GT(first.firstHitFrame, 950);
    EXPECT_LT(first.firstHitFrame, 975);
    // Thrusting at up to 6.93 pixels per frame from (1021, 612) towards the small voidrock of
    // frame 181 (near (270, 560) by then), the ship comes within its radius of 54 in 1165.
    EXPECT_EQ(first.gameOverFrame, 1165);
    EXPECT_EQ(first.endFrame, first.gameOverFrame + kGameOverFrames);

    const Outcome second = Play(kShootThenRam);
    EXPECT_EQ(second.score, first.score);
    EXPECT_EQ(second.firstHitFrame, first.firstHitFrame);
    EXPECT_EQ(second.gameOverFrame, first.gameOverFrame);
    EXPECT_EQ(second.endFrame, first.endFrame);
    EXPECT_EQ(second.shipTrace, first.shipTrace);
}

}  // namespace
