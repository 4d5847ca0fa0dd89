#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "render/Letterbox.h"
#include "render/PresentationFixture.h"
#include "render/RenderSys.h"
#include "render/TextRenderSystem.h"

namespace {

// Collects what goes through SDL_Log while it lives; the earlier output function comes back after.
class LogCapture {
  public:
    LogCapture() {
        SDL_GetLogOutputFunction(&previous, &previousData);
        SDL_SetLogOutputFunction(&LogCapture::Collect, this);
    }
    ~LogCapture() { SDL_SetLogOutputFunction(previous, previousData); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> messages;

  private:
    static void SDLCALL Collect(void* self, int, SDL_LogPriority, const char* message) {
        static_cast<LogCapture*>(self)->messages.emplace_back(message);
    }

    SDL_LogOutputFunction previous = nullptr;
    void* previousData = nullptr;
};

// Whether the texture object is still alive. A released texture's address may be handed to the
// next one made, so a pointer that is valid again must be the caller's current texture.
bool Released(SDL_Texture* old, SDL_Texture* current) {
    return old == current || SDL_GetTextureProperties(old) == 0;
}

class TextRenderSystemTest : public PresentationTest {
  protected:
    void SetUp() override {
        PresentationTest::SetUp();
        RunSystems<RenderSys, TextRenderSystem>();
    }

    Entity Label(const std::string& text, float x, float y) {
        Entity e = Create("scoreboard");
        e.GetComponent<TextRenderer>().text = text;
        Transform& t = e.GetComponent<Transform>();
        t.x = x;
        t.y = y;
        return e;
    }

    // Bright pixels in the canvas rectangle where a text at (x, y) would be drawn.
    int BrightIn(SDL_Surface* canvas, int x, int y, int w, int h) {
        int bright = 0;
        for (int row = y; row < y + h; ++row) {
            for (int column = x; column < x + w; ++column) {
                bright += IsBright(PixelAt(canvas, column, row)) ? 1 : 0;
            }
        }
        return bright;
    }

    // The canvas pixels of a rectangle, to see whether what is drawn there changed.
    std::vector<Rgba> Patch(SDL_Surface* canvas, int x, int y, int w, int h) {
        std::vector<Rgba> pixels;
        for (int row = y; row < y + h; ++row) {
            for (int column = x; column < x + w; ++column) {
                pixels.push_back(PixelAt(canvas, column, row));
            }
        }
        return pixels;
    }
};

// A text area wide and tall enough for a short line at 48 points.
constexpr int kTextX = 100;
constexpr int kTextY = 100;
constexpr int kAreaWidthPixels = 600;
constexpr int kAreaHeightPixels = 90;

bool SamePatch(const std::vector<Rgba>& a, const std::vector<Rgba>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!a[i].SameColour(b[i])) {
            return false;
        }
    }
    return true;
}

TEST_F(TextRenderSystemTest, AnUnchangedTextIsRenderedOnceAndDrawnEveryFrame) {
    ASSERT_NE(sdl->font, nullptr) << "the font Assets/Retro.ttf is needed";
    const Entity e = Label("Score: 0", kTextX, kTextY);
    Frame();
    TextRenderer& label = e.GetComponent<TextRenderer>();
    SDL_Texture* first = label.texture;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(label.renderedText, "Score: 0");
    const SDL_PropertiesID identity = SDL_GetTextureProperties(first);

    // Drawn one to one with its top-left corner on the position.
    float w = 0;
    float h = 0;
    ASSERT_TRUE(SDL_GetTextureSize(first, &w, &h));
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    const int drawn =
        BrightIn(canvas.get(), kTextX, kTextY, static_cast<int>(w), static_cast<int>(h));
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(BrightIn(canvas.get(), 0, 0, kCanvasWidth, kCanvasHeight), drawn);

    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        EXPECT_EQ(label.texture, first);
        EXPECT_EQ(SDL_GetTextureProperties(label.texture), identity);
        canvas = ReadCanvas();
        ASSERT_NE(canvas, nullptr);
        EXPECT_EQ(BrightIn(canvas.get(), 0, 0, kCanvasWidth, kCanvasHeight), drawn);
    }
}

TEST_F(TextRenderSystemTest, ChangingOneCharacterReplacesTheTexture) {
    ASSERT_NE(sdl->font, nullptr);
    const Entity e = Label("Score: 0", kTextX, kTextY);
    Frame();
    TextRenderer& label = e.GetComponent<TextRenderer>();
    SDL_Texture* old = label.texture;
    ASSERT_NE(old, nullptr);
    const SDL_PropertiesID oldIdentity = SDL_GetTextureProperties(old);
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    const auto before = Patch(canvas.get(), kTextX, kTextY, kAreaWidthPixels, kAreaHeightPixels);

    label.text = "Score: 1";
    Frame();
    ASSERT_NE(label.texture, nullptr);
    EXPECT_EQ(label.renderedText, "Score: 1");
    EXPECT_NE(SDL_GetTextureProperties(label.texture), oldIdentity);
    EXPECT_TRUE(Released(old, label.texture));
    canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_FALSE(SamePatch(
        before, Patch(canvas.get(), kTextX, kTextY, kAreaWidthPixels, kAreaHeightPixels)));
}

TEST_F(TextRenderSystemTest, AHiddenTextIsNeitherRenderedNorDrawn) {
    ASSERT_NE(sdl->font, nullptr);
    const Entity e = Label("Phase 2", kTextX, kTextY);
    TextRenderer& label = e.GetComponent<TextRenderer>();
    label.visible = false;
    Frame();
    Frame();
    EXPECT_EQ(label.texture, nullptr);
    EXPECT_EQ(label.renderedText, "");
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(BrightIn(canvas.get(), 0, 0, kCanvasWidth, kCanvasHeight), 0);

    // A change made while hidden waits for the first visible frame.
    label.text = "Phase 3";
    Frame();
    EXPECT_EQ(label.texture, nullptr);
    label.visible = true;
    Frame();
    ASSERT_NE(label.texture, nullptr);
    EXPECT_EQ(label.renderedText, "Phase 3");
    canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_GT(BrightIn(canvas.get(), kTextX, kTextY, kAreaWidthPixels, kAreaHeightPixels), 0);

    // Hidden again, the texture it has is kept but not drawn.
    SDL_Texture* kept = label.texture;
    label.visible = false;
    Frame();
    EXPECT_EQ(label.texture, kept);
    canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(BrightIn(canvas.get(), 0, 0, kCanvasWidth, kCanvasHeight), 0);
}

TEST_F(TextRenderSystemTest, EmptyTextsGetNoTextureAndLogNothing) {
    ASSERT_NE(sdl->font, nullptr);
    LogCapture log;
    const Entity empty = Label("", kTextX, kTextY);
    const Entity emptied = Label("Score: 0", kTextX, 400);
    Frame();
    TextRenderer& emptiedLabel = emptied.GetComponent<TextRenderer>();
    SDL_Texture* old = emptiedLabel.texture;
    ASSERT_NE(old, nullptr);

    emptiedLabel.text = "";
    Frame();
    Frame();
    EXPECT_EQ(empty.GetComponent<TextRenderer>().texture, nullptr);
    EXPECT_EQ(emptiedLabel.texture, nullptr);
    EXPECT_EQ(emptiedLabel.renderedText, "");
    // Nothing has been made since, so the old address cannot belong to a live texture.
    EXPECT_EQ(SDL_GetTextureProperties(old), 0u);
    SurfacePtr canvas = ReadCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(BrightIn(canvas.get(), 0, 0, kCanvasWidth, kCanvasHeight), 0);
    EXPECT_TRUE(log.messages.empty()) << log.messages.front();
}

TEST_F(TextRenderSystemTest, AFailedTextIsLoggedOncePerChangeAndDrawsNothing) {
    // Without a font every rendering fails; the game's font is put back for closing.
    TTF_Font* font = sdl->font;
    sdl->font = nullptr;
    ASSERT_EQ(TTF_RenderText_Blended(nullptr, "x", 0, SDL_Color{255, 255, 255, 255}), nullptr);
    const std::string expected = std::string("Couldn't create text: ") + SDL_GetError();

    std::vector<std::string> messages;
    const Entity e = Label("Score: 0", kTextX, kTextY);
    {
        LogCapture log;
        Frame();
        Frame();
        Frame();
        e.GetComponent<TextRenderer>().text = "Score: 1";
        Frame();
        Frame();
        messages = log.messages;
    }
    const TextRenderer& label = e.GetComponent<TextRenderer>();
    EXPECT_EQ(label.texture, nullptr);
    EXPECT_EQ(label.renderedText, "Score: 1");
    SurfacePtr canvas = ReadCanvas();
    sdl->font = font;
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(BrightIn(canvas.get(), 0, 0, kCanvasWidth, kCanvasHeight), 0);
    // SDL drops the message's final line break.
    EXPECT_EQ(messages, (std::vector<std::string>{expected, expected}));
}

struct Fit {
    int windowWidth;
    int windowHeight;
    CanvasPlacement expected;
};

TEST(Letterbox, FitsTheCanvasLargestCentredWithTheOddPixelRightOrBelow) {
    const Fit table[] = {
        {1920, 1080, {0, 0, 1920, 1080}},  {2560, 1440, {0, 0, 2560, 1440}},
        {1280, 1024, {0, 152, 1280, 720}}, {800, 600, {0, 75, 800, 450}},
        {1080, 1920, {0, 656, 1080, 607}}, {1366, 768, {0, 0, 1365, 768}},
        {1000, 700, {0, 69, 999, 562}},    {0, 0, {0, 0, 0, 0}},
    };
    for (const Fit& row : table) {
        const CanvasPlacement got = FitCanvas(row.windowWidth, row.windowHeight);
        EXPECT_EQ(got.x, row.expected.x) << row.windowWidth << "x" << row.windowHeight;
        EXPECT_EQ(got.y, row.expected.y) << row.windowWidth << "x" << row.windowHeight;
        EXPECT_EQ(got.w, row.expected.w) << row.windowWidth << "x" << row.windowHeight;
        EXPECT_EQ(got.h, row.expected.h) << row.windowWidth << "x" << row.windowHeight;
    }
}

// The dummy driver writes each presented frame of the window to a BMP file in the working
// directory when asked to; that file is what the window showed.
class PresentedFrame {
  public:
    explicit PresentedFrame(std::filesystem::path folder) : folder(std::move(folder)) {
        home = std::filesystem::current_path();
        std::filesystem::current_path(this->folder);
        SDL_SetHint(SDL_HINT_VIDEO_DUMMY_SAVE_FRAMES, "1");
    }
    ~PresentedFrame() {
        SDL_ResetHint(SDL_HINT_VIDEO_DUMMY_SAVE_FRAMES);
        std::filesystem::current_path(home);
    }
    PresentedFrame(const PresentedFrame&) = delete;
    PresentedFrame& operator=(const PresentedFrame&) = delete;

    // The one frame saved so far, or null.
    SurfacePtr Load() const {
        std::vector<std::filesystem::path> frames;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".bmp") {
                frames.push_back(entry.path());
            }
        }
        EXPECT_EQ(frames.size(), 1u);
        if (frames.size() != 1) {
            return OwnSurface(nullptr);
        }
        return OwnSurface(SDL_LoadBMP(frames.front().c_str()));
    }

  private:
    std::filesystem::path folder;
    std::filesystem::path home;
};

TEST_F(TextRenderSystemTest, ASmallerWindowShowsTheCanvasLetterboxed) {
    ASSERT_TRUE(SDL_SetWindowSize(sdl->window, 800, 600)) << SDL_GetError();
    SDL_SyncWindow(sdl->window);
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(sdl->window, &w, &h);
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 600);

    // The window is not cleared by the frame, so paint it first: what stays magenta was not
    // covered by the canvas.
    SDL_SetRenderTarget(sdl->renderer, nullptr);
    SDL_SetRenderDrawColor(sdl->renderer, 255, 0, 255, 255);
    SDL_RenderClear(sdl->renderer);
    // A sprite marks the canvas's centre: it must land in the middle of the fitted rectangle.
    Entity ship = Create("ship");
    ship.GetComponent<SpriteRenderer>().sprite = "ship";
    ship.GetComponent<Transform>().x = 960;
    ship.GetComponent<Transform>().y = 540;
    TheWorld().AddToGroup(ship, "ship");

    char folderTemplate[] = "/tmp/voidrocks-frames-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    const std::filesystem::path folder = folderTemplate;
    SurfacePtr shown = OwnSurface(nullptr);
    {
        PresentedFrame saved(folder);
        Frame();
        shown = saved.Load();
    }
    std::filesystem::remove_all(folder);
    ASSERT_NE(shown, nullptr) << SDL_GetError();
    ASSERT_EQ(shown->w, 800);
    ASSERT_EQ(shown->h, 600);

    const Rgba magenta{255, 0, 255, 255};
    const Rgba navy = Background();
    // Columns away from the ship: bars above and below, canvas rows 75 to 524 in between.
    for (const int x : {0, 100, 399, 799}) {
        for (const int y : {0, 74, 525, 599}) {
            EXPECT_TRUE(PixelAt(shown.get(), x, y).SameColour(magenta)) << x << "," << y;
        }
        for (const int y : {75, 76, 523, 524}) {
            EXPECT_TRUE(PixelAt(shown.get(), x, y).SameColour(navy)) << x << "," << y;
        }
    }
    // The ship is 192 canvas pixels across, 80 in the window, around (400, 300).
    EXPECT_FALSE(PixelAt(shown.get(), 400, 300).SameColour(navy));
    EXPECT_FALSE(PixelAt(shown.get(), 400, 300).SameColour(magenta));
}

}  // namespace
