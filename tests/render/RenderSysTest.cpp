#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "render/PresentationFixture.h"
#include "render/RenderSys.h"

namespace {

constexpr int kSpriteScale = 4;

struct SpriteFile {
    const char* name;
    const char* path;
    int sourceWidth;
    int sourceHeight;
};

constexpr SpriteFile kShip{"ship", "Assets/ship-a1.png", 48, 48};
constexpr SpriteFile kBig{"big", "Assets/big-a.png", 48, 48};
constexpr SpriteFile kMedium{"med", "Assets/med-a.png", 48, 48};
constexpr SpriteFile kBullet{"bullet", "Assets/bullet-b1.png", 16, 16};
constexpr SpriteFile kExplosion{"explosion", "Assets/explosions-a5.png", 32, 32};

SurfacePtr LoadImage(const SpriteFile& file) {
    SurfacePtr image = OwnSurface(IMG_Load(file.path));
    EXPECT_NE(image, nullptr) << SDL_GetError();
    return image;
}

// The colour of the image pixel that lands on the entity's position when drawn unturned.
Rgba CentreColour(const SpriteFile& file) {
    SurfacePtr image = LoadImage(file);
    return PixelAt(image.get(), file.sourceWidth / 2, file.sourceHeight / 2);
}

constexpr Uint8 kOpaque = 255;
constexpr Uint8 kTransparent = 0;

class RenderSysTest : public PresentationTest {
  protected:
    void SetUp() override {
        PresentationTest::SetUp();
        RunSystems<RenderSys>();
    }

    Entity Place(const std::string& archetype, const std::string& group, const std::string& sprite,
                 float x, float y, float rotationDegrees = 0.0f) {
        Entity e = Create(archetype);
        e.GetComponent<SpriteRenderer>().sprite = sprite;
        Transform& t = e.GetComponent<Transform>();
        t.x = x;
        t.y = y;
        t.rotation = rotationDegrees;
        if (!group.empty()) {
            TheWorld().AddToGroup(e, group);
        }
        return e;
    }

    // Describes every canvas pixel of the sprite's footprint (four times the source, centred on
    // (cx, cy), clipped to the canvas) that does not show the image unturned, and every pixel of
    // the ring just outside the footprint that is not background. Empty when all match.
    std::string FootprintMismatches(SDL_Surface* canvas, const SpriteFile& file, int cx, int cy) {
        SurfacePtr image = LoadImage(file);
        if (image == nullptr) {
            return "no image";
        }
        const Rgba background = Background();
        const int left = cx - file.sourceWidth * kSpriteScale / 2;
        const int top = cy - file.sourceHeight * kSpriteScale / 2;
        const int right = left + file.sourceWidth * kSpriteScale;
        const int bottom = top + file.sourceHeight * kSpriteScale;
        std::ostringstream out;
        int mismatches = 0;
        for (int y = top - 1; y <= bottom; ++y) {
            for (int x = left - 1; x <= right; ++x) {
                if (x < 0 || y < 0 || x >= kCanvasWidth || y >= kCanvasHeight) {
                    continue;
                }
                const bool inside = x >= left && x < right && y >= top && y < bottom;
                Rgba expected = background;
                if (inside) {
                    const Rgba source =
                        PixelAt(image.get(), (x - left) / kSpriteScale, (y - top) / kSpriteScale);
                    if (source.a != kOpaque && source.a != kTransparent) {
                        continue;  // blended: its exact colour is the renderer's business
                    }
                    if (source.a == kOpaque) {
                        expected = source;
                    }
                }
                const Rgba seen = PixelAt(canvas, x, y);
                if (!seen.SameColour(expected) && ++mismatches <= 5) {
                    out << " (" << x << "," << y << ") is " << seen << " not " << expected << ";";
                }
            }
        }
        if (mismatches > 0) {
            out << " " << mismatches << " pixels in all";
        }
        return out.str();
    }

    // Describes the pixels that a quarter turn clockwise puts in the wrong place: the middle of
    // each opaque image pixel's 4x4 block, turned about (cx, cy), must show that pixel.
    std::string QuarterTurnMismatches(SDL_Surface* canvas, const SpriteFile& file, int cx, int cy) {
        SurfacePtr image = LoadImage(file);
        if (image == nullptr) {
            return "no image";
        }
        const int halfWidth = file.sourceWidth * kSpriteScale / 2;
        const int halfHeight = file.sourceHeight * kSpriteScale / 2;
        std::ostringstream out;
        int mismatches = 0;
        for (int sy = 0; sy < file.sourceHeight; ++sy) {
            for (int sx = 0; sx < file.sourceWidth; ++sx) {
                const Rgba source = PixelAt(image.get(), sx, sy);
                if (source.a != kOpaque) {
                    continue;
                }
                // Block offsets from the centre, unturned: x in [bx, bx + 4), y in [by, by + 4).
                const int bx = sx * kSpriteScale - halfWidth;
                const int by = sy * kSpriteScale - halfHeight;
                // Clockwise on a y-down canvas, (u, v) goes to (-v, u): the block covers pixel
                // offsets -by - 4 .. -by - 1 across and bx .. bx + 3 down. Sample its middle.
                for (const auto& [ox, oy] :
                     {std::pair{-by - 2, bx + 1}, std::pair{-by - 3, bx + 2}}) {
                    const Rgba seen = PixelAt(canvas, cx + ox, cy + oy);
                    if (!seen.SameColour(source) && ++mismatches <= 5) {
                        out << " image (" << sx << "," << sy << ") at (" << cx + ox << ","
                            << cy + oy << ") is " << seen << " not " << source << ";";
                    }
                }
            }
        }
        if (mismatches > 0) {
            out << " " << mismatches << " pixels in all";
        }
        return out.str();
    }
};

TEST_F(RenderSysTest, ClearsTheCanvasToTheBackgroundWithNoEntities) {
    // Paint the canvas first, so that only a clear can bring the background back.
    SDL_SetRenderTarget(sdl->renderer, sdl->target);
    SDL_SetRenderDrawColor(sdl->renderer, 255, 0, 255, 255);
    SDL_RenderClear(sdl->renderer);

    for (const Rgb colour : {Rgb{10, 18, 40}, Rgb{200, 100, 50}}) {
        sdl->background = colour;
        Frame();
        SurfacePtr canvas = ReadCanvas();
        ASSERT_NE(canvas, nullptr);
        int wrong = 0;
        for (int y = 0; y < kCanvasHeight; ++y) {
            for (int x = 0; x < kCanvasWidth; ++x) {
                wrong += PixelAt(canvas.get(), x, y).SameColour(Background()) ? 0 : 1;
            }
        }
        EXPECT_EQ(wrong, 0) << "background " << int{colour.r} << "," << int{colour.g} << ","
                            << int{colour.b};
    }
}

TEST_F(RenderSysTest, SpritesAreFourTimesTheirSourceCentredOnTheirPosition) {
    Place("explosion", "explosion", kExplosion.name, 500.0f, 400.0f);
    Place("bullet", "bullet", kBullet.name, 1400.0f, 700.0f);
    Place("voidrock", "voidrock", kBig.name, 900.0f, 800.0f);
    Frame();
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(FootprintMismatches(canvas.get(), kExplosion, 500, 400), "");
    EXPECT_EQ(FootprintMismatches(canvas.get(), kBullet, 1400, 700), "");
    EXPECT_EQ(FootprintMismatches(canvas.get(), kBig, 900, 800), "");
}

TEST_F(RenderSysTest, AnEntityAtTheOriginIsDrawnAroundItAndClipped) {
    // The big voidrock reaches its image's last column, so the footprint's far edge at 96 shows.
    Place("voidrock", "voidrock", kBig.name, 0.0f, 0.0f);
    Frame();
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_FALSE(PixelAt(canvas.get(), 0, 0).SameColour(Background()));
    EXPECT_EQ(FootprintMismatches(canvas.get(), kBig, 0, 0), "");
}

TEST_F(RenderSysTest, LayersStackBulletVoidrockShipExplosionWhateverTheIdentifiers) {
    const Rgba explosion = CentreColour(kExplosion);
    const Rgba ship = CentreColour(kShip);
    const Rgba voidrock = CentreColour(kBig);
    const Rgba bullet = CentreColour(kBullet);
    for (const Rgba& c : {explosion, ship, voidrock, bullet}) {
        ASSERT_EQ(c.a, kOpaque) << "the check needs every sprite opaque at its centre";
    }
    ASSERT_FALSE(explosion.SameColour(ship) || ship.SameColour(voidrock) ||
                 voidrock.SameColour(bullet));

    // Created top layer first, so identifiers run against the layer order.
    const Entity e = Place("explosion", "explosion", kExplosion.name, 960.0f, 540.0f);
    const Entity s = Place("ship", "ship", kShip.name, 960.0f, 540.0f);
    const Entity v = Place("voidrock", "voidrock", kBig.name, 960.0f, 540.0f);
    Place("bullet", "bullet", kBullet.name, 960.0f, 540.0f);
    ASSERT_LT(e.id, s.id);

    // Peel the stack one layer at a time: each time the next layer down shows.
    for (const auto& [top, colour] :
         {std::pair{e.id, explosion}, std::pair{s.id, ship}, std::pair{v.id, voidrock}}) {
        Frame();
        SurfacePtr canvas = ReadCanvas();
        ASSERT_NE(canvas, nullptr);
        EXPECT_TRUE(PixelAt(canvas.get(), 960, 540).SameColour(colour))
            << "entity " << top << " should be on top, canvas shows "
            << PixelAt(canvas.get(), 960, 540);
        TheWorld().DestroyEntity(top);
    }
    Frame();
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_TRUE(PixelAt(canvas.get(), 960, 540).SameColour(bullet));
}

TEST_F(RenderSysTest, WithinALayerTheHigherIdentifierIsDrawnLater) {
    const Rgba big = CentreColour(kBig);
    const Rgba medium = CentreColour(kMedium);
    ASSERT_EQ(big.a, kOpaque);
    ASSERT_EQ(medium.a, kOpaque);
    ASSERT_FALSE(big.SameColour(medium));

    for (const bool bigFirst : {true, false}) {
        const Entity lower = Place("voidrock", "", bigFirst ? kBig.name : kMedium.name, 960, 540);
        const Entity higher = Place("voidrock", "", bigFirst ? kMedium.name : kBig.name, 960, 540);
        ASSERT_LT(lower.id, higher.id);
        // Joining the group in reverse order must not matter.
        TheWorld().AddToGroup(higher, "voidrock");
        TheWorld().AddToGroup(lower, "voidrock");
        Frame();
        SurfacePtr canvas = ReadCanvas();
        ASSERT_NE(canvas, nullptr);
        EXPECT_TRUE(PixelAt(canvas.get(), 960, 540).SameColour(bigFirst ? medium : big))
            << "big drawn first: " << bigFirst;
        TheWorld().DestroyEntity(lower.id);
        TheWorld().DestroyEntity(higher.id);
    }
}

TEST_F(RenderSysTest, AMissingSpriteKeyDrawsNothingAndLeavesAnEmptyEntry) {
    const std::size_t spritesBefore = sdl->sprites.size();
    ASSERT_FALSE(sdl->sprites.contains("no_such_sprite"));
    Place("ship", "ship", "no_such_sprite", 400.0f, 400.0f);
    // A later entity of the same layer is still drawn.
    Place("ship", "ship", kShip.name, 1400.0f, 400.0f);
    Frame();
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);

    int drawn = 0;
    for (int y = 400 - 100; y < 400 + 100; ++y) {
        for (int x = 400 - 100; x < 400 + 100; ++x) {
            drawn += PixelAt(canvas.get(), x, y).SameColour(Background()) ? 0 : 1;
        }
    }
    EXPECT_EQ(drawn, 0);
    EXPECT_EQ(FootprintMismatches(canvas.get(), kShip, 1400, 400), "");

    ASSERT_EQ(sdl->sprites.size(), spritesBefore + 1);
    const Sprite& empty = sdl->sprites.at("no_such_sprite");
    EXPECT_EQ(empty.texture, nullptr);
    EXPECT_EQ(empty.source.x, 0);
    EXPECT_EQ(empty.source.y, 0);
    EXPECT_EQ(empty.source.w, 0);
    EXPECT_EQ(empty.source.h, 0);
}

TEST_F(RenderSysTest, EntitiesOutsideTheFourLayersAreNotDrawn) {
    Place("ship", "", kShip.name, 960.0f, 540.0f);
    Place("explosion", "explosions", kExplosion.name, 300.0f, 300.0f);
    Place("bullet", "instructions", kBullet.name, 1500.0f, 800.0f);
    Frame();
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    for (const auto& [x, y] : {std::pair{960, 540}, std::pair{300, 300}, std::pair{1500, 800}}) {
        EXPECT_TRUE(PixelAt(canvas.get(), x, y).SameColour(Background())) << x << "," << y;
    }
}

TEST_F(RenderSysTest, RotationTurnsClockwiseAboutThePositionWithAnglesPassedThrough) {
    // The ship's nose points up unturned, so a wrong direction or unit shows at once.
    for (const float degrees : {90.0f, -270.0f, 450.0f}) {
        const Entity e = Place("ship", "ship", kShip.name, 960.0f, 540.0f, degrees);
        Frame();
        SurfacePtr canvas = ReadCanvas();
        ASSERT_NE(canvas, nullptr);
        EXPECT_EQ(QuarterTurnMismatches(canvas.get(), kShip, 960, 540), "") << degrees;
        TheWorld().DestroyEntity(e.id);
    }
}

}  // namespace
