#include "game/MovementSystem.h"

#include <algorithm>
#include <cmath>

#include "game/Components.h"
#include "game/EntityCreator.h"
#include "game/Heading.h"
#include "game/Names.h"
#include "game/Playfield.h"
#include "game/Tuning.h"
#include "platform/SDLton.h"

namespace {

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

    for (const Entity& ship : GetGroup(kShipGroup)) {
        Transform& t = ship.GetComponent<Transform>();
        std::string& sprite = ship.GetComponent<SpriteRenderer>().sprite;
        Ship& gun = ship.GetComponent<Ship>();

        sprite = kShipSprite;

        if (clockwise) {
            t.angularVelocity = static_cast<float>(t.angularVelocity + kTurnStepDegreesPerFrame);
        }
        if (anticlockwise) {
            t.angularVelocity = static_cast<float>(t.angularVelocity - kTurnStepDegreesPerFrame);
        }
        if (clockwise == anticlockwise) {
            t.angularVelocity = static_cast<float>(t.angularVelocity * kTurnDecayPerFrame);
        }

        // Thrust follows the heading from before this frame's turn.
        const Direction d = HeadingDirection(t.rotation);
        if (forward) {
            t.vx += kThrustPixelsPerFrame * d.x;
            t.vy += kThrustPixelsPerFrame * d.y;
            sprite = kShipAccelSprite;
        }
        if (backward) {
            t.vx -= kThrustPixelsPerFrame * d.x;
            t.vy -= kThrustPixelsPerFrame * d.y;
            sprite = kShipReverseSprite;
        }

        if (std::sqrt(t.vx * t.vx + t.vy * t.vy) > kMaxSpeedPixelsPerFrame) {
            const float theta = std::atan2(t.vy, t.vx);
            t.vx = kMaxSpeedPixelsPerFrame * std::cos(theta);
            t.vy = kMaxSpeedPixelsPerFrame * std::sin(theta);
        }
        t.vx *= kDragPerFrame;
        t.vy *= kDragPerFrame;

        // Physics may carry the ship past the band for one frame; it is put back here.
        if (t.x < kShipBandPixels.left || t.x > kShipBandPixels.right) {
            t.vx = 0;
        }
        if (t.y < kShipBandPixels.top || t.y > kShipBandPixels.bottom) {
            t.vy = 0;
        }
        t.x = std::clamp(t.x, kShipBandPixels.left, kShipBandPixels.right);
        t.y = std::clamp(t.y, kShipBandPixels.top, kShipBandPixels.bottom);

        t.angularVelocity =
            std::clamp(t.angularVelocity, -kMaxTurnDegreesPerFrame, kMaxTurnDegreesPerFrame);
        t.rotation += t.angularVelocity;

        if (gun.reloadFrames > 0) {
            sprite = sprite == kShipSprite        ? kShipReloadingSprite
                     : sprite == kShipAccelSprite ? kShipAccelReloadingSprite
                                                  : kShipReverseReloadingSprite;
        }

        if (fire && gun.reloadFrames == 0 && !gun.fireHeld) {
            const Direction aim = HeadingDirection(t.rotation);
            t.vx -= kRecoilPixelsPerFrame * aim.x;
            t.vy -= kRecoilPixelsPerFrame * aim.y;
            GetSceneSingleton<EntityCreator>()->CreateBullet(t.x, t.y, t.vx, t.vy, t.rotation);
            gun.reloadFrames = kReloadFrames;
        } else if (gun.reloadFrames > 0) {
            --gun.reloadFrames;
        }
        gun.fireHeld = fire;
    }
}
