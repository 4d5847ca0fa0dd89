#include "app/SDLton.h"

#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include "app/VoidrocksGame.h"

namespace {

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

}  // namespace
