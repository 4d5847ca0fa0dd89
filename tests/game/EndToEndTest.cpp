#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "app/SteppedGame.h"
#include "game/Components.h"

// Whole games of the real program, frame by frame without pacing; which voidrocks come when
// follows from rand as every SteppedGame seeds it.

namespace {

using Held = std::tuple<std::int64_t, std::int64_t, SDL_Scancode>;  // frames from, to; key

struct Outcome {
    std::int64_t gameOver = 0, end = 0;
    std::int32_t score = 0;
    std::string shipTrace;  // the ship's Transform after every frame it lives through
    auto Tie() const { return std::tie(gameOver, end, score, shipTrace); }
};

Outcome Play(const std::vector<Held>& script) {
    SteppedGame game;
    SDL_SetWindowSize(game.Platform().window, 192, 108);  // the canvas stays 1920 x 1080
    World& world = game.GameScene().world;
    Outcome out;
    for (bool running = true; running && game.frame < 20000;) {
        const std::int64_t frame = game.frame + 1;
        game.keys.fill(false);
        for (auto [from, to, key] : script) {
            game.keys[key] = game.keys[key] || (from <= frame && frame <= to);
        }
        running = game.Step();
        for (const Entity& ship : world.groups["ship"]) {
            const Transform& t = ship.GetComponent<Transform>();
            out.shipTrace.append(reinterpret_cast<const char*>(&t), sizeof t);
        }
        out.score = world.GetEntities<Score>()->begin()->GetComponent<Score>().value;
        if (out.gameOver == 0 &&
            std::ranges::any_of(world.groups["instructions"], [](const Entity& m) {
                return m.GetComponent<TextRenderer>().text == "GAME OVER";
            })) {
            out.gameOver = frame;
        }
    }
    out.end = game.frame;
    EXPECT_TRUE(world.quit) << "the game did not end";
    return out;
}

TEST(EndToEnd, WithNoInputTheShipIsHitAndTheGameEndsAThousandFramesLater) {
    const Outcome out = Play({});
    // The ship stays at (960, 540). The seventh voidrock (frame 181 + 6 * 180 = 1261, big,
    // radius 136, drifting at (0.7, 0.5) from (-500, -500)) is first within 136 after 1926
    // moves (0.74 t^2 - 3084 t + 3194704 = 0 at t = 1925.7), i.e. after frame 3186: the
    // collision test of frame 3187 sees it. No earlier voidrock comes that close.
    EXPECT_EQ(out.gameOver, 3187);
    // The overlay counts GAME OVER's 1000 frames down from its own frame F: quit at F + 1000.
    EXPECT_EQ(out.end, out.gameOver + 1000);
    EXPECT_EQ(out.score, 0);
}

TEST(EndToEnd, AScriptedGameShootsOneVoidrockRamsAnotherAndReplaysIdentically) {
    // Turn to the medium voidrock of frame 361 and shoot it (about 600 pixels at 39.2 per
    // frame: 15 frames), fire again once reloaded by the hit, then turn to the small voidrock
    // of frame 181 and fly into it; the frames below came from a first run checked that way.
    const std::vector<Held> script{{900, 907, SDL_SCANCODE_LEFT},
                                   {950, 951, SDL_SCANCODE_SPACE},
                                   {980, 981, SDL_SCANCODE_SPACE},
                                   {1000, 1008, SDL_SCANCODE_A},
                                   {1040, 1200, SDL_SCANCODE_UP}};
    const Outcome first = Play(script);
    EXPECT_EQ(first.score, 1);
    EXPECT_EQ(first.gameOver, 1165);
    EXPECT_EQ(first.end, first.gameOver + 1000);
    EXPECT_TRUE(Play(script).Tie() == first.Tie()) << "the replay differs";
}

}  // namespace
