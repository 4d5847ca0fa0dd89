#include "game/BulletSystem.h"

#include "game/Components.h"
#include "game/Names.h"
#include "game/Playfield.h"

void BulletSystem::Update() {
    for (const Entity& e : GetGroup(kBulletGroup)) {
        const Transform& t = e.GetComponent<Transform>();
        const Area& bounds = kBulletBoundsPixels;
        if (t.x < bounds.left || t.x > bounds.right || t.y < bounds.top || t.y > bounds.bottom) {
            QueueDestroy(e);
        }
    }
}
