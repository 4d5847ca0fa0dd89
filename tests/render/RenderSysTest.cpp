#include "render/RenderSys.h"

#include <gtest/gtest.h>

#include <vector>

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

// The smallest rectangle holding every pixel that is not the background.
SDL_Rect Drawn(SDL_Surface* canvas, Rgba background) {
    int x0 = kCanvasWidth, y0 = kCanvasHeight, x1 = -1, y1 = -1;
    for (int y = 0; y < kCanvasHeight; y += 1) {
        for (int x = 0; x < kCanvasWidth; x += 1) {
            if (!(PixelAt(canvas, x, y) == background)) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x),
                y1 = std::max(y1, y);
            }
        }
    }
    return x1 < 0 ? SDL_Rect{} : SDL_Rect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

TEST_F(RenderSysTest, ASpriteIsFourTimesItsSourceCentredOnItsPosition) {
    const Placed& p = kBig;
    Make(p.archetype, p.archetype, 1000, 500).GetComponent<SpriteRenderer>().sprite = p.sprite;
    Make("ship", "", 300, 300).GetComponent<SpriteRenderer>().sprite = "ship";  // in no group
    Make("ship", "ship", 300, 800).GetComponent<SpriteRenderer>().sprite = "no_such_sprite";
    Frame();
    SurfacePtr canvas = ReadCanvas(*sdl);
    const SDL_Rect drawn = Drawn(canvas.get(), Background());
    // The image's own margins are transparent: the drawing lies within the 192 x 192 square.
    EXPECT_TRUE(drawn.x >= 1000 - 96 && drawn.y >= 500 - 96 && drawn.x + drawn.w <= 1000 + 96 &&
                drawn.y + drawn.h <= 500 + 96)
        << drawn.x << "," << drawn.y << " " << drawn.w << "x" << drawn.h;
    EXPECT_GT(drawn.w, 3 * 48);
    EXPECT_EQ(PixelAt(canvas.get(), 1000, 500), CentreOf(p));
    // Each source pixel becomes a 4 x 4 block.
    SurfacePtr image = LoadImage(p.image);
    for (int v = 0; v < p.size; v += 5) {
        for (int u = 0; u < p.size; u += 3) {
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
    EXPECT_EQ(Drawn(ReadCanvas(*sdl).get(), Background()).w, 0);
}

}  // namespace
