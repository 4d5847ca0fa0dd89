#include "game/BulletSystem.h"

#include "game/Components.h"
#include "game/Names.h"

namespace {
// Not the same margin on every side: 200 pixels beyond the left and top edges of the canvas,
// 180 beyond the right and 20 beyond the bottom.
constexpr float kLeftBound = -200.0f;
constexpr float kRightBound = 2100.0f;
constexpr float kTopBound = -200.0f;
constexpr float kBottomBound = 1100.0f;
}  // namespace

void BulletSystem::Update() {
    for (const Entity& e : GetGroup(kBulletGroup)) {
        const Transform& t = e.GetComponent<Transform>();
        if (t.x < kLeftBound || t.x > kRightBound || t.y < kTopBound || t.y > kBottomBound) {
            QueueDestroy(e);
        }
    }
}
