#include "game/EntityCreator.h"

#include <cstdlib>

#include "ecs/World.h"
#include "game/Components.h"
#include "game/Heading.h"
#include "game/Names.h"
#include "game/Tuning.h"

namespace {
constexpr int kDrawingAngles = 360;
}  // namespace

void EntityCreator::CreateBullet(float x, float y, float vx, float vy, float heading) {
    Entity bullet = world->CreateEntity(kBulletArchetype);
    Transform& t = bullet.GetComponent<Transform>();
    t.x = x;
    t.y = y;
    const Direction d = HeadingDirection(heading);
    t.vx = vx + d.x * kBulletSpeedPixelsPerFrame;
    t.vy = vy + d.y * kBulletSpeedPixelsPerFrame;
    bullet.GetComponent<SpriteRenderer>().sprite = kBulletSprite;
    bullet.GetComponent<Transform>().rotation = heading - 90.0f;
    world->AddToGroup(bullet, kBulletGroup);
}

void EntityCreator::CreateVoidrock(float x, float y, float vx, float vy, std::int32_t size) {
    Entity voidrock = world->CreateEntity(kVoidrockArchetype);
    Transform& t = voidrock.GetComponent<Transform>();
    t.x = x;
    t.y = y;
    t.vx = vx;
    t.vy = vy;
    // A fixed drawing angle; voidrocks never spin.
    t.rotation = static_cast<float>(std::rand() % kDrawingAngles);
    voidrock.GetComponent<SpriteRenderer>().sprite = size == kBigVoidrock ? kBigVoidrockSprite
                                                     : size == kMediumVoidrock
                                                         ? kMediumVoidrockSprite
                                                         : kSmallVoidrockSprite;
    voidrock.GetComponent<Voidrock>().size = size;
    world->AddToGroup(voidrock, kVoidrockGroup);
}
