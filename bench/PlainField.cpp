#include "PlainField.h"

#include <algorithm>
#include <cmath>

#include "CrowdPlacement.h"
#include "ScriptedPilot.h"
#include "game/Heading.h"
#include "game/Playfield.h"
#include "game/Tuning.h"
#include "game/VoidrockSpawnSystem.h"

namespace {

float Wrapped(float value, float low, float high) {
    const float belowWrapped = value < low ? high : value;
    return value > high ? low : belowWrapped;
}

float Distance(float ax, float ay, float bx, float by) {
    const float dx = ax - bx;
    const float dy = ay - by;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

PlainField::PlainField(std::int64_t voidrocks, std::uint32_t seed)
    : crowd(voidrocks), random(seed) {
    std::srand(seed);
    ship.body = {kShipStartXPixels, kShipStartYPixels, 0, 0};
    Tend();
}

void PlainField::AddVoidrock() {
    const Drift drift = DrawVoidrockDrift();
    const std::int32_t s = DrawVoidrockSize();
    const Spot at = PlaceAwayFromShip(random, ship.body.x, ship.body.y, s);
    x.push_back(at.x);
    y.push_back(at.y);
    vx.push_back(drift.vx);
    vy.push_back(drift.vy);
    size.push_back(s);
}

void PlainField::Tend() {
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (NearShip(ship.body.x, ship.body.y, x[i], y[i], size[i])) {
            x[i] = AcrossTheArea(x[i]);
        }
    }
    while (static_cast<std::int64_t>(x.size()) < crowd) {
        AddVoidrock();
    }
}

void PlainField::SettleContacts() {
    const std::size_t n = x.size();
    if (inside.size() < n) {
        inside.resize(n);
    }
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float wx = Wrapped(x[i], kVoidrockWrapPixels.left, kVoidrockWrapPixels.right);
        const float wy = Wrapped(y[i], kVoidrockWrapPixels.top, kVoidrockWrapPixels.bottom);
        x[i] = wx;
        y[i] = wy;
        inside[count] = static_cast<std::uint32_t>(i);
        count += static_cast<std::size_t>(
            (wx > kContactAreaPixels.left) & (wx < kContactAreaPixels.right) &
            (wy > kContactAreaPixels.top) & (wy < kContactAreaPixels.bottom));
    }
    hit.clear();
    bulletHit.assign(bullets.size(), 0);
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t i = inside[k];
        const float px = x[i];
        const float py = y[i];
        const ContactRadii radii = ContactRadiiPixels(size[i]);
        if (ship.alive && Distance(ship.body.x, ship.body.y, px, py) < radii.ship) {
            ship.alive = false;
        }
        for (std::size_t b = 0; b < bullets.size(); ++b) {
            const Body& bullet = bullets[b];
            if (!(Distance(bullet.x, bullet.y, px, py) < radii.bullet)) {
                continue;
            }
            ship.reloadFrames = 0;
            const float dx = ship.body.x - bullet.x;
            const float dy = ship.body.y - bullet.y;
            const float e = std::sqrt(dx * dx + dy * dy);
            if (e < kPushReachPixels && e > 0.0f) {
                const float theta = std::atan2(dy, dx);
                const float q = std::pow(e / kPushReferencePixels, 2.0f);
                ship.body.vx += std::cos(theta) * kPushPixelsPerFrame / q;
                ship.body.vy += std::sin(theta) * kPushPixelsPerFrame / q;
            }
            explosions.push_back({px, py, kExplosionFrames});
            hit.push_back(i);
            bulletHit[b] = 1;
            ++score;
        }
    }
    // Hit voidrocks leave by swapping in the last, highest index first so that no index still
    // to remove is moved.
    std::sort(hit.begin(), hit.end());
    hit.erase(std::unique(hit.begin(), hit.end()), hit.end());
    for (auto it = hit.rbegin(); it != hit.rend(); ++it) {
        const std::uint32_t i = *it;
        x[i] = x.back();
        y[i] = y.back();
        vx[i] = vx.back();
        vy[i] = vy.back();
        size[i] = size.back();
        x.pop_back();
        y.pop_back();
        vx.pop_back();
        vy.pop_back();
        size.pop_back();
    }
    std::size_t kept = 0;
    for (std::size_t b = 0; b < bullets.size(); ++b) {
        if (bulletHit[b] == 0) {
            bullets[kept++] = bullets[b];
        }
    }
    bullets.resize(kept);
}

void PlainField::FlyShip() {
    const PilotKeys pilot = PilotKeysAt(frame);
    Body& b = ship.body;
    if (pilot.clockwise) {
        ship.angularVelocity = static_cast<float>(ship.angularVelocity + kTurnStepDegreesPerFrame);
    }
    if (pilot.anticlockwise) {
        ship.angularVelocity = static_cast<float>(ship.angularVelocity - kTurnStepDegreesPerFrame);
    }
    if (pilot.clockwise == pilot.anticlockwise) {
        ship.angularVelocity = static_cast<float>(ship.angularVelocity * kTurnDecayPerFrame);
    }
    const Direction d = HeadingDirection(ship.rotation);
    if (pilot.forward) {
        b.vx += kThrustPixelsPerFrame * d.x;
        b.vy += kThrustPixelsPerFrame * d.y;
    }
    if (std::sqrt(b.vx * b.vx + b.vy * b.vy) > kMaxSpeedPixelsPerFrame) {
        const float theta = std::atan2(b.vy, b.vx);
        b.vx = kMaxSpeedPixelsPerFrame * std::cos(theta);
        b.vy = kMaxSpeedPixelsPerFrame * std::sin(theta);
    }
    b.vx *= kDragPerFrame;
    b.vy *= kDragPerFrame;
    if (b.x < kShipBandPixels.left || b.x > kShipBandPixels.right) {
        b.vx = 0;
    }
    if (b.y < kShipBandPixels.top || b.y > kShipBandPixels.bottom) {
        b.vy = 0;
    }
    b.x = std::clamp(b.x, kShipBandPixels.left, kShipBandPixels.right);
    b.y = std::clamp(b.y, kShipBandPixels.top, kShipBandPixels.bottom);
    ship.angularVelocity =
        std::clamp(ship.angularVelocity, -kMaxTurnDegreesPerFrame, kMaxTurnDegreesPerFrame);
    ship.rotation += ship.angularVelocity;
    if (pilot.fire && ship.reloadFrames == 0 && !ship.fireHeld) {
        const Direction aim = HeadingDirection(ship.rotation);
        b.vx -= kRecoilPixelsPerFrame * aim.x;
        b.vy -= kRecoilPixelsPerFrame * aim.y;
        bullets.push_back({b.x, b.y, b.vx + aim.x * kBulletSpeedPixelsPerFrame,
                           b.vy + aim.y * kBulletSpeedPixelsPerFrame});
        ship.reloadFrames = kReloadFrames;
    } else if (ship.reloadFrames > 0) {
        --ship.reloadFrames;
    }
    ship.fireHeld = pilot.fire;
}

void PlainField::Frame() {
    SettleContacts();
    std::size_t kept = 0;
    for (const Explosion& e : explosions) {
        if (e.frames > 0) {
            explosions[kept] = e;
            --explosions[kept++].frames;
        }
    }
    explosions.resize(kept);
    std::erase_if(bullets, [](const Body& b) {
        const Area& bounds = kBulletBoundsPixels;
        return b.x < bounds.left || b.x > bounds.right || b.y < bounds.top || b.y > bounds.bottom;
    });
    FlyShip();
    const std::size_t n = x.size();
    for (std::size_t i = 0; i < n; ++i) {
        x[i] += vx[i];
        y[i] += vy[i];
    }
    for (Body& b : bullets) {
        b.x += b.vx;
        b.y += b.vy;
    }
    ship.body.x += ship.body.vx;
    ship.body.y += ship.body.vy;
    ++frame;
}
