#include <gtest/gtest.h>

#include "app/SteppedGame.h"
#include "render/EventSystem.h"
#include "render/PresentationFixture.h"

namespace {

bool IsFullscreen(SDL_Window* window) {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

SDL_Event KeyEvent(SDL_Window* window, SDL_EventType type, SDL_Scancode scancode, SDL_Keycode key,
                   bool repeat = false) {
    SDL_Event event{};
    event.type = type;
    event.key.windowID = SDL_GetWindowID(window);
    event.key.scancode = scancode;
    event.key.key = key;
    event.key.down = type == SDL_EVENT_KEY_DOWN;
    event.key.repeat = repeat;
    return event;
}

void Push(SDL_Event event) {
    ASSERT_TRUE(SDL_PushEvent(&event)) << SDL_GetError();
}

void PushQuit() {
    SDL_Event quit{};
    quit.type = SDL_EVENT_QUIT;
    Push(quit);
}

class EventSystemTest : public PresentationTest {
  protected:
    void SetUp() override {
        PresentationTest::SetUp();
        RunSystems<EventSystem>();
        // Whatever start-up queued is drained before the test's own events.
        Frame();
        ASSERT_FALSE(IsFullscreen(sdl->window));
    }

    void PushF11Down(bool repeat = false) {
        Push(KeyEvent(sdl->window, SDL_EVENT_KEY_DOWN, SDL_SCANCODE_F11, SDLK_F11, repeat));
    }
};

TEST_F(EventSystemTest, EachF11PressFlipsFullScreenIncludingRepeats) {
    PushF11Down();
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(IsFullscreen(sdl->window));
    PushF11Down();
    Frame();
    EXPECT_FALSE(IsFullscreen(sdl->window));
    // Held down: every repeat flips once more.
    PushF11Down();
    Frame();
    EXPECT_TRUE(IsFullscreen(sdl->window));
    PushF11Down(true);
    Frame();
    EXPECT_FALSE(IsFullscreen(sdl->window));
    PushF11Down(true);
    Frame();
    EXPECT_TRUE(IsFullscreen(sdl->window));
}

TEST_F(EventSystemTest, TheModeIsTakenFromTheWindowItself) {
    // Switched behind the game's back: the next press goes back to windowed.
    ASSERT_TRUE(SDL_SetWindowFullscreen(sdl->window, true));
    PushF11Down();
    Frame();
    EXPECT_FALSE(IsFullscreen(sdl->window));
}

TEST_F(EventSystemTest, ReleasesAndOtherKeysDoNothing) {
    Push(KeyEvent(sdl->window, SDL_EVENT_KEY_UP, SDL_SCANCODE_F11, SDLK_F11));
    Push(KeyEvent(sdl->window, SDL_EVENT_KEY_DOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    Push(KeyEvent(sdl->window, SDL_EVENT_KEY_DOWN, SDL_SCANCODE_F10, SDLK_F10));
    Push(KeyEvent(sdl->window, SDL_EVENT_KEY_DOWN, SDL_SCANCODE_Q, SDLK_Q));
    // The key is known by its position: an F11 key code on another key does nothing.
    Push(KeyEvent(sdl->window, SDL_EVENT_KEY_DOWN, SDL_SCANCODE_A, SDLK_F11));
    EXPECT_TRUE(Frame());
    EXPECT_FALSE(IsFullscreen(sdl->window));
    EXPECT_FALSE(TheWorld().quit);

    // And the F11 position with another layout's key code still toggles.
    Push(KeyEvent(sdl->window, SDL_EVENT_KEY_DOWN, SDL_SCANCODE_F11, SDLK_UNKNOWN));
    Frame();
    EXPECT_TRUE(IsFullscreen(sdl->window));
}

TEST_F(EventSystemTest, AllEventsOfAFrameAreHandledInThatFrame) {
    PushF11Down();
    PushQuit();
    PushF11Down();
    PushF11Down();
    EXPECT_FALSE(Frame());
    EXPECT_TRUE(TheWorld().quit);
    // Three presses from windowed.
    EXPECT_TRUE(IsFullscreen(sdl->window));
    // The queue was drained: nothing is left for a later frame.
    SDL_PumpEvents();
    EXPECT_FALSE(SDL_HasEvent(SDL_EVENT_KEY_DOWN));
    EXPECT_FALSE(SDL_HasEvent(SDL_EVENT_QUIT));
}

TEST(EventSystemInGame, AQuitRequestFinishesItsFrameAndThenEndsTheGame) {
    SteppedGame game;
    SDLton& sdl = game.Platform();
    World& world = game.GameScene().world;
    // The canvas holds no frame yet: paint it, so that only this frame can draw it.
    SDL_SetRenderTarget(sdl.renderer, sdl.target);
    SDL_SetRenderDrawColor(sdl.renderer, 255, 0, 255, 255);
    SDL_RenderClear(sdl.renderer);
    SDL_SetRenderTarget(sdl.renderer, nullptr);

    PushQuit();
    EXPECT_FALSE(game.Step());
    EXPECT_TRUE(world.quit);
    // The systems after the event system still ran: the opening text was counted down, the
    // canvas cleared and the ship drawn, the scoreboard's text made.
    const Group instructions = world.groups["instructions"];
    ASSERT_EQ(instructions.size(), 1u);
    EXPECT_EQ(instructions.begin()->GetComponent<InstructionsTimer>().frames, 299);
    const Rgb corner = game.CanvasPixel(1900, 1000);
    EXPECT_EQ(corner.r, sdl.background.r);
    EXPECT_EQ(corner.g, sdl.background.g);
    EXPECT_EQ(corner.b, sdl.background.b);
    const Rgb centre = game.CanvasPixel(960, 540);
    EXPECT_FALSE(centre.r == sdl.background.r && centre.g == sdl.background.g &&
                 centre.b == sdl.background.b);
    const EntitySet& scoreboards = *world.GetEntities<Score>();
    ASSERT_EQ(scoreboards.size(), 1u);
    const TextRenderer& score = scoreboards.begin()->GetComponent<TextRenderer>();
    EXPECT_EQ(score.renderedText, "Score: 0");
    EXPECT_NE(score.texture, nullptr);
}

}  // namespace
