#include "game/MovementSystem.h"

#include <algorithm>
#include <cmath>

#include "app/SDLton.h"
#include "game/EntityCreator.h"
#include "game/Components.h"
#include "game/Heading.h"

namespace {

constexpr double kTurnStepDegreesPerFrame = 0.5;
constexpr double kTurnDecay = 0.85;
constexpr float kMaxTurnDegreesPerFrame = 5.0f;
constexpr float kThrustPixelsPerFrame = 0.2f;
constexpr float kMaxSpeedPixelsPerFrame = 7.0f;
constexpr float kDrag = 0.99f;
// The ship stays 96 pixels away from every edge of the canvas.
constexpr float kBandLeft = 96.0f;
constexpr float kBandRight = 1824.0f;
constexpr float kBandTop = 96.0f;
constexpr float kBandBottom = 984.0f;
constexpr float kRecoilPixelsPerFrame = 0.8f;
constexpr std::int32_t kReloadFrames = 60;

bool Down(const bool* keyboard, SDL_Scancode a, SDL_Scancode b) {
    return keyboard[a] || keyboard[b];
}

}  // namespace

void MovementSystem::Update() {
    const bool* keys = GetSingleton<SDLton>()->keyboard;
    const bool clockwise = Down(keys, SDL_SCANCODE_RIGHT, SDL_SCANCODE_D);
    const bool anticlockwise = Down(keys, SDL_SCANCODE_LEFT, SDL_SCANCODE_A);
    const bool forward = Down(keys, SDL_SCANCODE_UP, SDL_SCANCODE_W);
    const bool backward = Down(keys, SDL_SCANCODE_DOWN, SDL_SCANCODE_S);
    const bool fire = keys[SDL_SCANCODE_SPACE];

    for (const Entity& ship : GetGroup("ship")) {
        Transform& t = ship.GetComponent<Transform>();
        std::string& sprite = ship.GetComponent<SpriteRenderer>().sprite;
        Ship& gun = ship.GetComponent<Ship>();

        sprite = "ship";

        if (clockwise) {
            t.angularVelocity = static_cast<float>(t.angularVelocity + kTurnStepDegreesPerFrame);
        }
        if (anticlockwise) {
            t.angularVelocity = static_cast<float>(t.angularVelocity - kTurnStepDegreesPerFrame);
        }
        if (clockwise == anticlockwise) {
            t.angularVelocity = static_cast<float>(t.angularVelocity * kTurnDecay);
        }

        // Thrust follows the heading from before this frame's turn.
        const Direction d = HeadingDirection(t.rotation);
        if (forward) {
            t.vx += kThrustPixelsPerFrame * d.x;
            t.vy += kThrustPixelsPerFrame * d.y;
            sprite = "ship_accel";
        }
        if (backward) {
            t.vx -= kThrustPixelsPerFrame * d.x;
            t.vy -= kThrustPixelsPerFrame * d.y;
            sprite = "ship_reverse";
        }

        if (std::sqrt(t.vx * t.vx + t.vy * t.vy) > kMaxSpeedPixelsPerFrame) {
            const float theta = std::atan2(t.vy, t.vx);
            t.vx = kMaxSpeedPixelsPerFrame * std::cos(theta);
            t.vy = kMaxSpeedPixelsPerFrame * std::sin(theta);
        }
        t.vx *= kDrag;
        t.vy *= kDrag;

        // Physics may carry the ship past the band for one frame; it is put back here.
        if (t.x < kBandLeft || t.x > kBandRight) {
            t.vx = 0;
        }
        if (t.y < kBandTop || t.y > kBandBottom) {
            t.vy = 0;
        }
        t.x = std::clamp(t.x, kBandLeft, kBandRight);
        t.y = std::clamp(t.y, kBandTop, kBandBottom);

        t.angularVelocity =
            std::clamp(t.angularVelocity, -kMaxTurnDegreesPerFrame, kMaxTurnDegreesPerFrame);
        t.rotation += t.angularVelocity;

        if (gun.reloadFrames > 0) {
            sprite = sprite == "ship"         ? "ship_reloading"
                     : sprite == "ship_accel" ? "ship_accel_reloading"
                                              : "ship_reverse_reloading";
        }

        if (fire && gun.reloadFrames == 0 && !gun.fireHeld) {
            const Direction aim = HeadingDirection(t.rotation);
            t.vx -= kRecoilPixelsPerFrame * aim.x;
            t.vy -= kRecoilPixelsPerFrame * aim.y;
            GetSceneSingleton<EntityCreator>()->CreateBullet(t.x, t.y, t.vx, t.vy, t.rotation);
            // The bullet may have moved every Transform; only the gun is written from here on.
            ship.GetComponent<Ship>().reloadFrames = kReloadFrames;
        } else if (gun.reloadFrames > 0) {
            --gun.reloadFrames;
        }
        ship.GetComponent<Ship>().fireHeld = fire;
    }
}
