#include "render/RenderSys.h"

#include <vector>

#include "render/SpriteCanvas.h"
#include "support/Presentation.h"

namespace {

using RenderSysTest = PresentationTest<RenderSys>;

struct Placed {
    const char* archetype;
    const char* sprite;
    const char* image;
    int size;  // source pixels across
};

const Placed kShip{"ship", "ship", "Assets/ship-a1.png", 48};
const Placed kBig{"voidrock", "big", "Assets/big-a.png", 48};
const Placed kMed{"voidrock", "med", "Assets/med-a.png", 48};
const Placed kBullet{"bullet", "bullet", "Assets/bullet-b1.png", 16};
const Placed kExplosion{"explosion", "explosion", "Assets/explosions-a5.png", 32};

Rgba CentreOf(const Placed& p) {
    return PixelAt(LoadImage(p.image).get(), p.size / 2, p.size / 2);
}

TEST_F(RenderSysTest, ASpriteIsFourTimesItsSourceCentredOnItsPosition) {
    Make("voidrock", "voidrock", 1000, 500).GetComponent<SpriteRenderer>().sprite = "big";
    // Centred beyond the left edge, it still reaches 46 pixels onto the canvas.
    Make("voidrock", "voidrock", -50, 300).GetComponent<SpriteRenderer>().sprite = "big";
    Make("ship", "", 300, 300).GetComponent<SpriteRenderer>().sprite = "ship";  // in no group
    Make("ship", "ship", 300, 800).GetComponent<SpriteRenderer>().sprite = "no_such_sprite";
    Frame();
    SurfacePtr canvas = ReadCanvas(*sdl);
    const auto NotBackground = [&](const Rgba& p) { return !(p == Background()); };
    // Nothing outside the 192 x 192 squares; each source pixel inside one is a 4 x 4 block.
    const int edge = CountIn(canvas.get(), {0, 300 - 96, 46, 192}, NotBackground);
    EXPECT_GT(edge, 0);
    EXPECT_EQ(CountIn(canvas.get(), kWholeCanvas, NotBackground),
              CountIn(canvas.get(), {1000 - 96, 500 - 96, 192, 192}, NotBackground) + edge);
    SurfacePtr image = LoadImage(kBig.image);
    for (int v = 0; v < kBig.size; v += 5) {
        for (int u = 0; u < kBig.size; u += 3) {
            const Rgba source = PixelAt(image.get(), u, v);
            if (source.a != 0 && source.a != 255) {
                continue;  // blended with the background
            }
            EXPECT_EQ(PixelAt(canvas.get(), 1000 - 96 + 4 * u + u % 4, 500 - 96 + 4 * v + v % 4),
                      source.a == 255 ? source : Background())
                << u << "," << v;
        }
    }
}

TEST_F(RenderSysTest, LayersStackBulletVoidrockShipExplosionInIdOrderOverAClearedCanvas) {
    sdl->background = {200, 100, 50};
    // Made top layer first, so ids run against the layers.
    const Placed made[] = {kExplosion, kShip, kBig, kMed, kBullet};
    const std::size_t topDown[] = {0, 1, 3, 2, 4};
    std::vector<Entity> entities;
    std::vector<Rgba> colours;
    for (std::size_t i = 0; i < std::size(made); ++i) {
        entities.push_back(Make(made[i].archetype, made[i].archetype, 960, 540));
        entities.back().GetComponent<SpriteRenderer>().sprite = made[i].sprite;
        colours.push_back(CentreOf(made[topDown[i]]));
    }
    ASSERT_EQ(std::adjacent_find(colours.begin(), colours.end()), colours.end());
    // Peeled off one at a time: each frame the next one down shows.
    for (const std::size_t i : topDown) {
        Frame();
        EXPECT_EQ(PixelAt(ReadCanvas(*sdl).get(), 960, 540), CentreOf(made[i])) << made[i].sprite;
        world.DestroyEntity(entities[i].id);
    }
    Frame();  // with no entities left, only the background
    EXPECT_EQ(CountIn(ReadCanvas(*sdl).get(), kWholeCanvas,
                      [&](const Rgba& p) { return !(p == Background()); }),
              0);
}

TEST_F(RenderSysTest, AMovedOrTurnedSpriteLeavesNothingWhereItWas) {
    Entity rock = Make("voidrock", "voidrock", 400, 400);
    rock.GetComponent<SpriteRenderer>().sprite = "big";
    const auto NotBackground = [&](const Rgba& p) { return !(p == Background()); };
    Frame();
    ASSERT_GT(CountIn(ReadCanvas(*sdl).get(), {400 - 96, 400 - 96, 192, 192}, NotBackground), 0);
    // Far away, then back at the same place turned, then off the canvas altogether.
    rock.GetComponent<Transform>() = {.x = 1500, .y = 700, .rotation = 45};
    Frame();
    SurfacePtr moved = ReadCanvas(*sdl);
    EXPECT_EQ(CountIn(moved.get(), {400 - 136, 400 - 136, 272, 272}, NotBackground), 0);
    EXPECT_GT(CountIn(moved.get(), {1500 - 136, 700 - 136, 272, 272}, NotBackground), 0);
    rock.GetComponent<Transform>() = {.x = -500, .y = -500};
    Frame();
    EXPECT_EQ(CountIn(ReadCanvas(*sdl).get(), kWholeCanvas, NotBackground), 0);
    // A new background colour reaches every pixel, drawn on or not.
    sdl->background = {90, 20, 20};
    Frame();
    EXPECT_EQ(CountIn(ReadCanvas(*sdl).get(), kWholeCanvas, NotBackground), 0);
}

TEST_F(RenderSysTest, TheCanvasIsOpaqueAndReachesTheWindowUnblended) {
    Make("voidrock", "voidrock", 700, 500).GetComponent<SpriteRenderer>().sprite = "med";
    Make("explosion", "explosion", 760, 520).GetComponent<SpriteRenderer>().sprite = "explosion";
    Frame();
    // On the software renderer the sprite canvas is shown, and no canvas texture is made.
    const SpriteCanvas* spriteCanvas = SpriteCanvas::Find(sdl->renderer);
    EXPECT_EQ(sdl->target == nullptr, spriteCanvas != nullptr);
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    ASSERT_TRUE(SDL_GetTextureBlendMode(
        spriteCanvas != nullptr ? spriteCanvas->Texture() : sdl->target, &mode));
    EXPECT_EQ(mode, SDL_BLENDMODE_NONE);
    SurfacePtr canvas = ReadCanvas(*sdl);
    EXPECT_EQ(CountIn(canvas.get(), kWholeCanvas, [](const Rgba& p) { return p.a != 255; }), 0);
}

}  // namespace
