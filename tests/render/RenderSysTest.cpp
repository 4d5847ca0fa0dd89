#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/PresentationFixture.h"
#include "render/RenderSys.h"

namespace {

using RenderSysTest = PresentationTest<RenderSys>;

struct Placed {
    const char* archetype;
    const char* group;
    const char* sprite;
    const char* image;  // what the footprint shows; null: background only
    int size;           // source pixels across
    int x, y;
    float rotation = 0;
};

// Wrong pixels of the 4x footprint centred on (x, y) and of the ring around it, the first
// reported; blended source pixels are skipped.
int Mismatches(SDL_Surface* canvas, Rgba background, const Placed& p) {
    SurfacePtr image = p.image ? LoadImage(p.image) : SurfacePtr(nullptr, &SDL_DestroySurface);
    const int half = p.size * 2;
    const bool turned = p.rotation == 90;
    int wrong = 0;
    for (int y = std::max(0, p.y - half - 1); y <= p.y + half; ++y) {
        for (int x = std::max(0, p.x - half - 1); x <= p.x + half; ++x) {
            // Unturned place: a clockwise quarter turn takes (u, v) to (-v, u).
            const int u = (turned ? y - p.y : x - p.x) + half;
            const int v = (turned ? p.x - x - 1 : y - p.y) + half;
            Rgba expected = background;
            if (image && u >= 0 && v >= 0 && u < 2 * half && v < 2 * half) {
                const Rgba source = PixelAt(image.get(), u / 4, v / 4);
                if (source.a != 0 && source.a != 255) {
                    continue;
                }
                expected = source.a == 255 ? source : background;
            }
            const Rgba seen = PixelAt(canvas, x, y);
            if (!(seen == expected) && wrong++ == 0) {
                ADD_FAILURE() << p.sprite << ": (" << x << "," << y << ") is " << seen << " not "
                              << expected;
            }
        }
    }
    return wrong;
}

Rgba CentreOf(const Placed& p) {
    return PixelAt(LoadImage(p.image).get(), p.size / 2, p.size / 2);
}

TEST_F(RenderSysTest, SpritesAreFourTimesTheirSourceCentredTurnedAndClipped) {
    const Placed table[] = {
        {"explosion", "explosion", "explosion", "Assets/explosions-a5.png", 32, 500, 400},
        {"bullet", "bullet", "bullet", "Assets/bullet-b1.png", 16, 1400, 700},
        {"voidrock", "voidrock", "big", "Assets/big-a.png", 48, 0, 0},  // drawn from (-96, -96)
        {"ship", "ship", "no_such_sprite", nullptr, 48, 400, 800},
        {"ship", "ship", "ship", "Assets/ship-a1.png", 48, 1400, 300},
        {"ship", "", "ship", nullptr, 48, 700, 540},                        // in no group
        {"ship", "ship", "ship", "Assets/ship-a1.png", 48, 1000, 540, 90},  // nose to the right
    };
    const std::size_t spritesBefore = sdl->sprites.size();
    for (const Placed& p : table) {
        Entity e = Make(p.archetype, p.group, p.x, p.y);
        e.GetComponent<SpriteRenderer>().sprite = p.sprite;
        e.GetComponent<Transform>().rotation = p.rotation;
    }
    Frame();
    SurfacePtr canvas = ReadCanvas(*sdl);
    for (const Placed& p : table) {
        EXPECT_EQ(Mismatches(canvas.get(), Background(), p), 0) << p.sprite << " at " << p.x;
    }
    ASSERT_EQ(sdl->sprites.size(), spritesBefore + 1);
    const SDL_Rect none{};
    EXPECT_EQ(sdl->sprites.at("no_such_sprite").texture, nullptr);
    EXPECT_TRUE(SDL_RectsEqual(&sdl->sprites.at("no_such_sprite").source, &none));
}

TEST_F(RenderSysTest, LayersStackBulletVoidrockShipExplosionInIdOrderOverAClearedCanvas) {
    sdl->background = {200, 100, 50};
    // Made top layer first, so ids run against the layers.
    const Placed made[] = {
        {"explosion", "explosion", "explosion", "Assets/explosions-a5.png", 32, 960, 540},
        {"ship", "ship", "ship", "Assets/ship-a1.png", 48, 960, 540},
        {"voidrock", "voidrock", "big", "Assets/big-a.png", 48, 960, 540},
        {"voidrock", "voidrock", "med", "Assets/med-a.png", 48, 960, 540},
        {"bullet", "bullet", "bullet", "Assets/bullet-b1.png", 16, 960, 540}};
    const std::size_t topDown[] = {0, 1, 3, 2, 4};
    std::vector<Entity> entities;
    std::vector<Rgba> colours;
    for (std::size_t i = 0; i < std::size(made); ++i) {
        entities.push_back(Make(made[i].archetype, made[i].group, 960, 540));
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
    const Rgba background = Background();
    EXPECT_EQ(CountIn(ReadCanvas(*sdl).get(), kWholeCanvas,
                      [&](const Rgba& p) { return !(p == background); }),
              0);
}

}  // namespace
