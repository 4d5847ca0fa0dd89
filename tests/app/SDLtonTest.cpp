#include "app/SDLton.h"

#include <SDL3/SDL.h>
#include <SDL3_image/SDL_image.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/VoidrocksGame.h"

namespace {

namespace fs = std::filesystem;

template <typename F>
std::string Stdout(F&& run) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    run();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

class AssetStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { OpenPlatform(sdl); }
    void TearDown() override {
        ClosePlatform(sdl);
        fs::current_path(home);
    }
    SDLton sdl;
    const fs::path home = fs::current_path();
};

TEST_F(AssetStoreTest, LoadsElevenNearestSampledImagesOncePerPathAndRenamesReplace) {
    EXPECT_EQ(Stdout([&] { LoadGameSprites(sdl); }), "");
    EXPECT_EQ(sdl.textures.size(), 11u);
    EXPECT_EQ(sdl.sprites.size(), 11u);
    for (const auto& [name, sprite] : sdl.sprites) {
        SDL_ScaleMode mode = SDL_SCALEMODE_LINEAR;
        EXPECT_TRUE(SDL_GetTextureScaleMode(sprite.texture, &mode)) << name;
        EXPECT_EQ(mode, SDL_SCALEMODE_NEAREST) << name;
    }
    const SDL_Rect nose{16, 8, 16, 16}, other{1, 2, 3, 4};
    sdl.LoadSprite("ship_nose", "Assets/ship-a1.png", nose);
    EXPECT_EQ(sdl.textures.size(), 11u);
    EXPECT_EQ(sdl.sprites.at("ship_nose").texture, sdl.sprites.at("ship").texture);
    EXPECT_TRUE(SDL_RectsEqual(&sdl.sprites.at("ship_nose").source, &nose));
    sdl.LoadSprite("ship", "Assets/big-a.png", other);
    EXPECT_EQ(sdl.sprites.at("ship").texture, sdl.textures.at("Assets/big-a.png"));
    EXPECT_TRUE(SDL_RectsEqual(&sdl.sprites.at("ship").source, &other));
}

// Started where Assets is missing or has no font: the font is named once on standard output,
// a missing folder once on standard error with the folder looked in, and the game goes on.
TEST(MissingAssets, TheFontAndAMissingFolderAreEachReportedOnce) {
    const fs::path home = fs::current_path();
    for (const bool withImages : {false, true}) {
        SCOPED_TRACE(withImages ? "images without the font" : "no Assets folder");
        char folder[] = "/tmp/voidrocks-assets-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        if (withImages) {
            fs::copy(home / "Assets", fs::path(folder) / "Assets");
            fs::remove(fs::path(folder) / "Assets/Retro.ttf");
        }
        fs::current_path(folder);
        VoidrocksGame game;
        std::fflush(stderr);
        testing::internal::CaptureStderr();
        const std::string out = Stdout([&] { game.Init(); });
        const std::string err = testing::internal::GetCapturedStderr();
        SDLton& sdl = *game.GetSingleton<SDLton>();
        EXPECT_EQ(sdl.font, nullptr);
        const std::string font = "Unable to load font Assets/Retro.ttf! SDL_ttf Error: ";
        EXPECT_EQ(out.substr(0, font.size()), font) << out;
        EXPECT_GT(out.find('\n'), font.size()) << "SDL_ttf's error is missing";
        EXPECT_EQ(out.find(font, 1), std::string::npos) << out;
        std::size_t images = 0;
        for (std::size_t at = 0; (at = out.find("Unable to load image", at)) != std::string::npos;
             ++at) {
            ++images;
        }
        EXPECT_EQ(images, withImages ? 0u : 11u);
        EXPECT_EQ(sdl.sprites.size(), 11u);
        if (withImages) {
            EXPECT_EQ(err, "");
        } else {
            EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
            EXPECT_NE(err.find(std::string(" ") + folder + ":"), std::string::npos) << err;
        }
        game.Shutdown();
        fs::current_path(home);
        fs::remove_all(folder);
    }
}

}  // namespace
