#include <tuple>
#include <vector>

#include "render/EventSystem.h"
#include "render/InstructionsSystem.h"
#include "support/Presentation.h"

using EventSystemTest = PresentationTest<EventSystem, InstructionsSystem>;

static SDL_Event Event(SDL_EventType type, SDL_Scancode key = SDL_SCANCODE_UNKNOWN,
                       bool repeat = false) {
    SDL_Event event{};
    event.key.type = type;
    event.key.scancode = key;
    event.key.down = type == SDL_EVENT_KEY_DOWN;
    event.key.repeat = repeat;
    return event;
}

TEST_F(EventSystemTest, F11PressesFlipFullScreenAndAQuitRequestEndsTheScene) {
    // Counted down by the system after the event system, also in the frame that quits.
    InstructionsTimer& later =
        Make("instructions", "instructions").GetComponent<InstructionsTimer>();
    later.frames = 100;
    const SDL_Event f11 = Event(SDL_EVENT_KEY_DOWN, SDL_SCANCODE_F11);
    // Events of a frame, then whether the window is full screen and the scene ended.
    const std::tuple<std::vector<SDL_Event>, bool, bool> frames[] = {
        {{f11}, true, false},
        {{Event(SDL_EVENT_KEY_DOWN, SDL_SCANCODE_F11, true)}, false, false},
        {{Event(SDL_EVENT_KEY_UP, SDL_SCANCODE_F11)}, false, false},
        {{Event(SDL_EVENT_KEY_DOWN, SDL_SCANCODE_ESCAPE)}, false, false},
        {{f11}, true, false},
        {{Event(SDL_EVENT_QUIT), f11}, false, true},
    };
    for (const auto& [events, fullscreen, quit] : frames) {
        for (SDL_Event event : events) {
            ASSERT_TRUE(SDL_PushEvent(&event)) << SDL_GetError();
        }
        EXPECT_EQ(Frame(), !quit);
        EXPECT_EQ(world.quit, quit);
        EXPECT_EQ((SDL_GetWindowFlags(sdl->window) & SDL_WINDOW_FULLSCREEN) != 0, fullscreen)
            << "after " << events.size() << " events with " << later.frames << " to count";
    }
    EXPECT_EQ(later.frames, 100 - int(std::size(frames)));
}
