#include "game/ScoreSystem.h"

#include <string>

#include "game/Components.h"

void ScoreSystem::Update() {
    for (const Entity& e : *world->GetEntities<Score>()) {
        // Written every frame; text rendering only re-renders when it differs.
        e.GetComponent<TextRenderer>().text =
            "Score: " + std::to_string(e.GetComponent<Score>().value);
    }
}
