#include "game/ScoreSystem.h"

#include <string>

#include "game/Components.h"

std::string ScoreboardText(std::int32_t value) {
    return "Score: " + std::to_string(value);
}

void ScoreSystem::Update() {
    for (const Entity& e : *world->GetEntities<Score>()) {
        // Written every frame; text rendering only re-renders when it differs.
        e.GetComponent<TextRenderer>().text = ScoreboardText(e.GetComponent<Score>().value);
    }
}
