#include "game/DestroySystem.h"

#include "game/Components.h"

void DestroySystem::Update() {
    for (const Entity& e : *world->GetEntities<DestroyTimer>()) {
        DestroyTimer& timer = e.GetComponent<DestroyTimer>();
        if (timer.frames > 0) {
            --timer.frames;
        } else {
            QueueDestroy(e);
        }
    }
}
