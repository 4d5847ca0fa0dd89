#include <functional>
#include <tuple>

#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"
#include "support/Presentation.h"

using TextRenderSystemTest = PresentationTest<RenderSys, TextRenderSystem>;

// White text on the navy canvas.
const auto IsBright = [](const Rgba& p) { return p.r >= 200 && p.g >= 200 && p.b >= 200; };

// A live texture's identity, which a released one loses even if its address is reused.
const auto Id = [](SDL_Texture* t) { return t == nullptr ? 0 : SDL_GetTextureProperties(t); };

TEST_F(TextRenderSystemTest, ATextIsRenderedWhenChangedAndVisibleAndDrawnWhileVisible) {
    enum Texture { kNew, kSame, kNone };
    // Text, shown, what becomes of its texture, whether it is drawn.
    const std::tuple<std::string, bool, Texture, bool> steps[] = {
        {"Score: 0", true, kNew, true}, {"Score: 0", true, kSame, true},
        {"Score: 1", true, kNew, true}, {"Score: 2", false, kSame, false},
        {"Score: 2", true, kNew, true}, {"", true, kNone, false},
        {"", true, kNone, false},
    };
    TextRenderer& label = Make("scoreboard", "", 100, 100).GetComponent<TextRenderer>();
    for (const auto& [text, visible, texture, drawn] : steps) {
        SCOPED_TRACE(text + (visible ? " shown" : " hidden"));
        SDL_Texture* old = label.texture;
        const SDL_PropertiesID oldId = Id(old);
        label.text = text;
        label.visible = visible;
        Frame();
        if (texture == kSame) {
            EXPECT_EQ(Id(label.texture), oldId);
        } else if (old != nullptr) {
            EXPECT_NE(Id(old), oldId) << "the old texture was not released";
        }
        EXPECT_EQ(label.texture != nullptr, texture != kNone);
        SurfacePtr canvas = ReadCanvas(*sdl);
        const int bright = CountIn(canvas.get(), kWholeCanvas, IsBright);
        EXPECT_EQ(bright > 0, drawn);
        EXPECT_EQ(CountIn(canvas.get(), {100, 100, 600, 100}, IsBright), bright) << "elsewhere";
    }
}

TEST_F(TextRenderSystemTest, An800x600WindowShowsTheCanvasLetterboxed) {
    ASSERT_TRUE(SDL_SetWindowSize(sdl->window, 800, 600));
    // The frame leaves the bars as they were: magenta.
    SDL_SetRenderDrawColor(sdl->renderer, 255, 0, 255, 255);
    SDL_RenderClear(sdl->renderer);
    Make("ship", "ship", 960, 540).GetComponent<SpriteRenderer>().sprite = "ship";
    Frame();
    SDL_Surface* shown = SDL_GetWindowSurface(sdl->window);
    ASSERT_NE(shown, nullptr) << SDL_GetError();
    const Rgba magenta{255, 0, 255}, navy = Background();
    for (const int x : {0, 100, 799}) {
        for (int y = 0; y < 600; ++y) {
            EXPECT_EQ(PixelAt(shown, x, y), y < 75 || y >= 525 ? magenta : navy) << x << "," << y;
        }
    }
    // The ship marks the canvas centre.
    EXPECT_FALSE(PixelAt(shown, 400, 300) == navy || PixelAt(shown, 400, 300) == magenta);
}

// Shown at its own size, the canvas reaches the window only where it changed: the window must
// still match it whole after sprites move, turn and go, texts come and go, and the window is
// resized away and back.
TEST_F(TextRenderSystemTest, TheWindowShowsTheWholeCanvasAfterEveryFrame) {
    Entity rock = Make("voidrock", "voidrock", 400, 400);
    rock.GetComponent<SpriteRenderer>().sprite = "big";
    TextRenderer& label = Make("scoreboard", "", 100, 100).GetComponent<TextRenderer>();
    label.text = "Score: 0";
    Transform& at = rock.GetComponent<Transform>();
    const std::function<void()> steps[] = {
        [&] { ASSERT_TRUE(SDL_SetWindowSize(sdl->window, kCanvasWidth, kCanvasHeight)); },
        [&] { at.x = 1500; },
        [&] { label.visible = false; },
        [&] { at.rotation = 45; },
        [&] { label.visible = true; },
        [&] { ASSERT_TRUE(SDL_SetWindowSize(sdl->window, 800, 600)); },
        [&] { ASSERT_TRUE(SDL_SetWindowSize(sdl->window, kCanvasWidth, kCanvasHeight)); },
        [&] { at.x = -500; },
    };
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        steps[step]();
        Frame();
        int w = 0, h = 0;
        SDL_GetWindowSize(sdl->window, &w, &h);
        if (w != kCanvasWidth || h != kCanvasHeight) {
            continue;
        }
        SDL_Surface* window = SDL_GetWindowSurface(sdl->window);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        SurfacePtr shown(SDL_ConvertSurface(window, SDL_PIXELFORMAT_ARGB8888), &SDL_DestroySurface);
        EXPECT_TRUE(SamePixels(shown.get(), ReadCanvas(*sdl).get())) << "after step " << step;
    }
}
