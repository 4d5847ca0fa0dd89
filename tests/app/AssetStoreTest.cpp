#include <SDL3/SDL.h>
#include <SDL3_image/SDL_image.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/SDLton.h"
#include "app/VoidrocksGame.h"

namespace {

namespace fs = std::filesystem;

const std::string kBulletPath = "Assets/bullet-b1.png";

bool SameRect(const SDL_Rect& a, const SDL_Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// What the store printed on standard output while it lived.
class StdoutCapture {
  public:
    StdoutCapture() {
        std::fflush(stdout);
        testing::internal::CaptureStdout();
    }
    ~StdoutCapture() {
        if (!taken) {
            Take();
        }
    }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    std::string Take() {
        std::fflush(stdout);
        taken = true;
        return testing::internal::GetCapturedStdout();
    }

  private:
    bool taken = false;
};

// The platform, open for the life of the object: the store needs its renderer.
struct OpenedPlatform {
    OpenedPlatform() { OpenPlatform(sdl); }
    ~OpenedPlatform() { ClosePlatform(sdl); }
    OpenedPlatform(const OpenedPlatform&) = delete;
    OpenedPlatform& operator=(const OpenedPlatform&) = delete;

    SDLton sdl;
};

class AssetStoreTest : public ::testing::Test {
  protected:
    OpenedPlatform platform;
    SDLton& sdl = platform.sdl;
};

TEST_F(AssetStoreTest, TheGameSpritesLoadElevenNearestSampledTextures) {
    StdoutCapture out;
    LoadGameSprites(sdl);
    EXPECT_EQ(out.Take(), "");
    EXPECT_EQ(sdl.textures.size(), 11u);
    EXPECT_EQ(sdl.sprites.size(), 11u);
    for (const auto& [path, texture] : sdl.textures) {
        ASSERT_NE(texture, nullptr) << path;
        SDL_ScaleMode mode = SDL_SCALEMODE_LINEAR;
        ASSERT_TRUE(SDL_GetTextureScaleMode(texture, &mode)) << path;
        EXPECT_EQ(mode, SDL_SCALEMODE_NEAREST) << path;
    }
    // Each sprite is cut from the texture of its own image, and no two share one.
    for (const auto& [name, sprite] : sdl.sprites) {
        EXPECT_NE(sprite.texture, nullptr) << name;
        for (const auto& [other, otherSprite] : sdl.sprites) {
            EXPECT_TRUE(name == other || sprite.texture != otherSprite.texture)
                << name << " and " << other;
        }
    }
    const Sprite& explosion = sdl.sprites.at("explosion");
    EXPECT_EQ(explosion.texture, sdl.textures.at("Assets/explosions-a5.png"));
    EXPECT_TRUE(SameRect(explosion.source, SDL_Rect{0, 0, 32, 32}));
    EXPECT_TRUE(SameRect(sdl.sprites.at("bullet").source, SDL_Rect{0, 0, 16, 16}));
    EXPECT_TRUE(SameRect(sdl.sprites.at("ship_reverse_reloading").source, SDL_Rect{0, 0, 48, 48}));
}

TEST_F(AssetStoreTest, NamesOfOnePathShareOneTextureAndReloadingANameReplacesIt) {
    LoadGameSprites(sdl);
    sdl.LoadSprite("ship_nose", "Assets/ship-a1.png", SDL_Rect{16, 8, 16, 16});
    EXPECT_EQ(sdl.textures.size(), 11u);
    EXPECT_EQ(sdl.sprites.at("ship_nose").texture, sdl.sprites.at("ship").texture);
    EXPECT_TRUE(SameRect(sdl.sprites.at("ship_nose").source, SDL_Rect{16, 8, 16, 16}));
    EXPECT_TRUE(SameRect(sdl.sprites.at("ship").source, SDL_Rect{0, 0, 48, 48}));

    sdl.LoadSprite("ship", "Assets/big-a.png", SDL_Rect{1, 2, 3, 4});
    EXPECT_EQ(sdl.sprites.at("ship").texture, sdl.textures.at("Assets/big-a.png"));
    EXPECT_TRUE(SameRect(sdl.sprites.at("ship").source, SDL_Rect{1, 2, 3, 4}));
    EXPECT_EQ(sdl.sprites.size(), 12u);
    // The image the name used before stays loaded for the others.
    EXPECT_EQ(sdl.sprites.at("ship_nose").texture, sdl.textures.at("Assets/ship-a1.png"));
}

// A working directory holding a copy of the game's Assets without the bullet's image, entered
// for the life of the object.
class AssetsWithoutBullet {
  public:
    AssetsWithoutBullet() {
        char folderTemplate[] = "/tmp/voidrocks-assets-XXXXXX";
        if (mkdtemp(folderTemplate) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        folder = folderTemplate;
        home = fs::current_path();
        fs::copy(home / "Assets", folder / "Assets");
        fs::remove(folder / kBulletPath);
        fs::current_path(folder);
    }
    ~AssetsWithoutBullet() {
        fs::current_path(home);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    AssetsWithoutBullet(const AssetsWithoutBullet&) = delete;
    AssetsWithoutBullet& operator=(const AssetsWithoutBullet&) = delete;

    // Puts the missing image back.
    void RestoreBullet() const { fs::copy_file(home / kBulletPath, folder / kBulletPath); }

  private:
    fs::path folder;
    fs::path home;
};

TEST(AssetStoreFailure, AMissingImageIsReportedOnceAndLeavesOnlyItsSpritesEmpty) {
    AssetsWithoutBullet assets;
    OpenedPlatform platform;
    SDLton& sdl = platform.sdl;
    // The error SDL_image gives for this very file, to compare with the printed line.
    SDL_Surface* none = IMG_Load(kBulletPath.c_str());
    ASSERT_EQ(none, nullptr);
    const std::string loadError = SDL_GetError();
    ASSERT_FALSE(loadError.empty());

    StdoutCapture out;
    LoadGameSprites(sdl);
    const std::string printed = out.Take();
    EXPECT_EQ(Lines(printed), std::vector<std::string>{"Unable to load image " + kBulletPath +
                                                       "! SDL_image Error: " + loadError});
    EXPECT_EQ(printed.back(), '\n');

    EXPECT_EQ(sdl.sprites.at("bullet").texture, nullptr);
    EXPECT_TRUE(SameRect(sdl.sprites.at("bullet").source, SDL_Rect{0, 0, 16, 16}));
    ASSERT_TRUE(sdl.textures.contains(kBulletPath));
    EXPECT_EQ(sdl.textures.at(kBulletPath), nullptr);
    EXPECT_EQ(sdl.textures.size(), 11u);
    EXPECT_EQ(sdl.sprites.size(), 11u);
    for (const auto& [name, sprite] : sdl.sprites) {
        if (name != "bullet") {
            EXPECT_NE(sprite.texture, nullptr) << name;
            EXPECT_GT(sprite.source.w, 0) << name;
        }
    }

    // A path that failed is not tried again, even once the file is there.
    assets.RestoreBullet();
    StdoutCapture again;
    sdl.LoadSprite("bullet_again", kBulletPath, SDL_Rect{0, 0, 16, 16});
    EXPECT_EQ(again.Take(), "");
    EXPECT_EQ(sdl.sprites.at("bullet_again").texture, nullptr);
    EXPECT_EQ(sdl.textures.size(), 11u);
}

}  // namespace
