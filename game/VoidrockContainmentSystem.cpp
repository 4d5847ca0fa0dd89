#include "game/VoidrockContainmentSystem.h"

#include <cmath>
#include <vector>

#include "ecs/RecordWalk.h"
#include "game/Components.h"
#include "game/Message.h"
#include "game/Names.h"
#include "game/Playfield.h"
#include "game/Tuning.h"

namespace {

// Beyond one edge a voidrock reappears at the other; written as selects so that it compiles
// without branches.
float Wrapped(float value, float low, float high) {
    const float belowWrapped = value < low ? high : value;
    return value > high ? low : belowWrapped;
}

using Placed = VoidrockContainmentSystem::Placed;

// Wraps every voidrock and notes, without a branch, those inside the contact area: which side
// of it a voidrock is on follows no pattern the processor could predict. Returns how many.
// A function of its own, so that the walk inlines into it.
std::size_t WrapAndNoteContacts(const Group& voidrocks, CompArray<Transform>& transforms,
                                std::vector<Placed>& noted) {
    if (noted.size() < voidrocks.size()) {
        noted.resize(voidrocks.size());
    }
    std::size_t inside = 0;
    Placed* const out = noted.data();
    ForEachRecordOf(voidrocks, transforms, [&](EntityId id, Transform& t) {
        const float x = Wrapped(t.x, kVoidrockWrapPixels.left, kVoidrockWrapPixels.right);
        const float y = Wrapped(t.y, kVoidrockWrapPixels.top, kVoidrockWrapPixels.bottom);
        t.x = x;
        t.y = y;
        out[inside] = {id, x, y};
        inside += static_cast<std::size_t>(
            (x > kContactAreaPixels.left) & (x < kContactAreaPixels.right) &
            (y > kContactAreaPixels.top) & (y < kContactAreaPixels.bottom));
    });
    return inside;
}

void NotePlaces(const Group& group, std::vector<Placed>& placed) {
    placed.clear();
    for (const Entity& e : group) {
        const Transform& t = e.GetComponent<Transform>();
        placed.push_back({e.id, t.x, t.y});
    }
}

float Distance(float ax, float ay, float bx, float by) {
    const float dx = ax - bx;
    const float dy = ay - by;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

void VoidrockContainmentSystem::Update() {
    // Queued entities stay in their groups until this update ends, so every contact of the
    // frame is settled against the same bodies.
    const Group voidrocks = GetGroup(kVoidrockGroup);
    NotePlaces(GetGroup(kShipGroup), shipsAt);
    NotePlaces(GetGroup(kBulletGroup), bulletsAt);
    // Looked up once: every voidrock is visited each frame.
    auto& transforms = world->store.ArrayOf<Transform>();
    auto& sizes = world->store.ArrayOf<Voidrock>();
    // Wrapping moves only voidrocks and contacts change only the ship's velocity, so settling
    // the contacts after every voidrock is wrapped, in the same order, changes nothing.
    const std::size_t inside = WrapAndNoteContacts(voidrocks, transforms, inContactArea);
    for (std::size_t i = 0; i < inside; ++i) {
        const auto [voidrock, x, y] = inContactArea[i];
        const ContactRadii radii = ContactRadiiPixels(sizes.Get(voidrock).size);

        for (const auto& [ship, sx, sy] : shipsAt) {
            if (Distance(sx, sy, x, y) < radii.ship) {
                QueueDestroy({ship, &world->store});
                ShowMessage(*world, kGameOverMessage);
            }
        }

        for (const auto& [bullet, bx, by] : bulletsAt) {
            if (!(Distance(bx, by, x, y) < radii.bullet)) {
                continue;
            }
            for (const auto& [ship, sx, sy] : shipsAt) {
                world->store.ArrayOf<Ship>().Get(ship).reloadFrames = 0;
                Transform& s = transforms.Get(ship);
                const float dx = sx - bx;
                const float dy = sy - by;
                const float e = std::sqrt(dx * dx + dy * dy);
                // A hit right on the ship's centre has no direction to push in.
                if (e < kPushReachPixels && e > 0.0f) {
                    const float theta = std::atan2(dy, dx);
                    const float q = std::pow(e / kPushReferencePixels, 2.0f);
                    s.vx += std::cos(theta) * kPushPixelsPerFrame / q;
                    s.vy += std::sin(theta) * kPushPixelsPerFrame / q;
                }
            }
            Entity explosion = world->CreateEntity(kExplosionArchetype);
            Transform& ex = explosion.GetComponent<Transform>();
            ex.x = x;
            ex.y = y;
            explosion.GetComponent<SpriteRenderer>().sprite = kExplosionSprite;
            explosion.GetComponent<DestroyTimer>().frames = kExplosionFrames;
            world->AddToGroup(explosion, kExplosionGroup);
            QueueDestroy({voidrock, &world->store});
            QueueDestroy({bullet, &world->store});
            for (const Entity& scoreboard : *world->GetEntities<Score>()) {
                scoreboard.GetComponent<Score>().value += 1;
            }
        }
    }
}
