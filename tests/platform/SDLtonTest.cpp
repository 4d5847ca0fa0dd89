#include "platform/SDLton.h"

#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/VoidrocksGame.h"
#include "platform/FramePacing.h"

TEST(AssetStore, LoadsElevenImagesOncePerPathAndRenamesReplace) {
    SDLton sdl;
    OpenPlatform(sdl, GameTexts());
    LoadGameSprites(sdl);
    EXPECT_EQ(sdl.textures.size(), 11u);
    EXPECT_EQ(sdl.sprites.size(), 11u);
    const SDL_Rect nose{16, 8, 16, 16}, other{1, 2, 3, 4};
    sdl.LoadSprite("ship_nose", "Assets/ship-a1.png", nose);
    EXPECT_EQ(sdl.textures.size(), 11u);
    EXPECT_EQ(sdl.sprites.at("ship_nose").texture, sdl.sprites.at("ship").texture);
    EXPECT_TRUE(SDL_RectsEqual(&sdl.sprites.at("ship_nose").source, &nose));
    sdl.LoadSprite("ship", "Assets/big-a.png", other);
    EXPECT_EQ(sdl.sprites.at("ship").texture, sdl.textures.at("Assets/big-a.png"));
    EXPECT_TRUE(SDL_RectsEqual(&sdl.sprites.at("ship").source, &other));
    ClosePlatform(sdl);
}

// The whole canvas is seen from the first frame: the window is the canvas's size, or on a
// smaller screen the largest of its shape that the display's usable area holds.
// VOIDROCKS_EXPECT_WINDOW ("1365x768") names the exact size for a screen set up by the test run.
TEST(Window, OpensAtTheLargestCanvasShapeTheDisplayHolds) {
    SDLton sdl;
    OpenPlatform(sdl, GameTexts());
    SDL_Rect usable{};
    ASSERT_TRUE(SDL_GetDisplayUsableBounds(SDL_GetDisplayForWindow(sdl.window), &usable));
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl.window, &w, &h);
    const int maxW = std::min(usable.w, kCanvasWidth), maxH = std::min(usable.h, kCanvasHeight);
    EXPECT_LE(w, maxW);
    EXPECT_LE(h, maxH);
    EXPECT_TRUE(w == maxW || h == maxH) << w << "x" << h << " on " << usable.w << "x" << usable.h;
    EXPECT_NEAR(w * kCanvasHeight, h * kCanvasWidth, kCanvasWidth);
    if (const char* expected = SDL_getenv("VOIDROCKS_EXPECT_WINDOW")) {
        EXPECT_EQ(std::to_string(w) + "x" + std::to_string(h), expected);
    }
    ClosePlatform(sdl);
}

// On the software renderer the game waits for the next frame itself, without SDL's spinning
// wait, and frames are then at least a display frame apart; unpaced, it does not wait.
TEST(FramePacing, PacedFramesOnTheSoftwareRendererComeAtTheDisplaysRate) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "a page is paced by the browser's animation frames";
#endif
    SDLton sdl;
    OpenPlatform(sdl, GameTexts());
    if (std::string(SDL_GetRendererName(sdl.renderer)) != SDL_SOFTWARE_RENDERER) {
        ClosePlatform(sdl);
        GTEST_SKIP() << "not the software renderer";
    }
    int vsync = -1;
    ASSERT_TRUE(SDL_GetRenderVSync(sdl.renderer, &vsync));
    EXPECT_EQ(vsync, 0);
    ASSERT_GT(sdl.frameIntervalNs, 0u);
    constexpr int kFrames = 10;
    const Uint64 start = SDL_GetTicksNS();
    for (int frame = 0; frame < kFrames; ++frame) {
        PresentFrame(sdl);
    }
    EXPECT_GE(SDL_GetTicksNS() - start, (kFrames - 1) * sdl.frameIntervalNs);
    SetFramePacing(sdl, false);
    EXPECT_EQ(sdl.frameIntervalNs, 0u);
    ClosePlatform(sdl);
}
