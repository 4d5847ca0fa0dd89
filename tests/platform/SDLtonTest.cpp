#include "platform/SDLton.h"

#include <SDL3/SDL.h>
#include <SDL3_image/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/VoidrocksGame.h"
#include "platform/FramePacing.h"
#include "platform/PngCheck.h"
#include "platform/VideoDriverChoice.h"

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

// Decoded once, by the check, each sheet is what SDL_image gives; one has random pixels.
TEST(AssetStore, ASheetDecodedOnceHasSdlImagesFormatAndPixels) {
    const std::string noise = testing::TempDir() + "noise.png";
    SDL_Surface* random = SDL_CreateSurface(37, 23, SDL_PIXELFORMAT_RGBA32);
    std::mt19937 bits(23);
    std::generate_n(static_cast<std::uint8_t*>(random->pixels), random->pitch * random->h,
                    [&] { return static_cast<std::uint8_t>(bits()); });
    ASSERT_TRUE(IMG_SavePNG(random, noise.c_str())) << SDL_GetError();
    SDL_DestroySurface(random);
    std::vector<std::string> sheets{noise};
    for (const auto& entry : std::filesystem::directory_iterator("Assets")) {
        if (entry.path().extension() == ".png") {
            sheets.push_back(entry.path().string());
        }
    }
    EXPECT_EQ(sheets.size(), 12u);
    for (const std::string& sheet : sheets) {
        SDL_Surface* once = LoadCheckedPng(sheet, kCanvasWidth);
        SDL_Surface* expected = IMG_Load(sheet.c_str());
        ASSERT_TRUE(once != nullptr && expected != nullptr) << sheet << ": " << SDL_GetError();
        EXPECT_EQ(once->format, expected->format) << sheet;
        ASSERT_TRUE(once->w == expected->w && once->h == expected->h &&
                    once->pitch == expected->pitch)
            << sheet;
        EXPECT_EQ(std::memcmp(once->pixels, expected->pixels, std::size_t(once->pitch) * once->h),
                  0)
            << sheet;
        SDL_DestroySurface(once);
        SDL_DestroySurface(expected);
    }
    std::filesystem::remove(noise);
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

#ifndef _WIN32
// X's compose table is an empty file unless the player named one.
TEST(Window, LeavesXsComposeTableEmptyUnlessThePlayerNamedOne) {
    const char* before = std::getenv("XCOMPOSEFILE");
    const std::string kept = before != nullptr ? before : "";
    unsetenv("XCOMPOSEFILE");
    SkipComposeTable();
    ASSERT_NE(std::getenv("XCOMPOSEFILE"), nullptr);
    std::ifstream empty(std::getenv("XCOMPOSEFILE"));
    EXPECT_TRUE(empty.is_open());
    EXPECT_EQ(empty.peek(), std::ifstream::traits_type::eof());
    setenv("XCOMPOSEFILE", "players-own", 1);
    SkipComposeTable();
    EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "players-own");
    before != nullptr ? setenv("XCOMPOSEFILE", kept.c_str(), 1) : unsetenv("XCOMPOSEFILE");
}
#endif

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
