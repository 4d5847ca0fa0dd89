#include "game/EntityCreator.h"

#include <cstdlib>

#include "ecs/World.h"
#include "game/Components.h"
#include "game/Heading.h"

namespace {
constexpr float kBulletSpeedPixelsPerFrame = 40.0f;
constexpr int kDrawingAngles = 360;
}  // namespace

void EntityCreator::CreateBullet(float x, float y, float vx, float vy, float heading) {
    Entity bullet = world->CreateEntity("bullet");
    Transform& t = bullet.GetComponent<Transform>();
    t.x = x;
    t.y = y;
    const Direction d = HeadingDirection(heading);
    t.vx = vx + d.x * kBulletSpeedPixelsPerFrame;
    t.vy = vy + d.y * kBulletSpeedPixelsPerFrame;
    bullet.GetComponent<SpriteRenderer>().sprite = "bullet";
    bullet.GetComponent<Transform>().rotation = heading - 90.0f;
    world->AddToGroup(bullet, "bullet");
}

void EntityCreator::CreateVoidrock(float x, float y, float vx, float vy, std::int32_t size) {
    Entity voidrock = world->CreateEntity("voidrock");
    Transform& t = voidrock.GetComponent<Transform>();
    t.x = x;
    t.y = y;
    t.vx = vx;
    t.vy = vy;
    // A fixed drawing angle; voidrocks never spin.
    t.rotation = static_cast<float>(std::rand() % kDrawingAngles);
    voidrock.GetComponent<SpriteRenderer>().sprite = size == kBigVoidrock      ? "big"
                                                     : size == kMediumVoidrock ? "med"
                                                                               : "small";
    voidrock.GetComponent<Voidrock>().size = size;
    world->AddToGroup(voidrock, "voidrock");
}
