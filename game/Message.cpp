#include "game/Message.h"

#include "game/Components.h"
#include "game/Names.h"

Entity ShowMessage(World& world, const TimedMessage& message) {
    return ShowMessage(world, message, message.text);
}

Entity ShowMessage(World& world, const TimedMessage& message, std::string text) {
    Entity shown = world.CreateEntity(kInstructionsArchetype);
    Transform& at = shown.GetComponent<Transform>();
    at.x = message.x;
    at.y = message.y;
    shown.GetComponent<TextRenderer>().text = std::move(text);
    shown.GetComponent<InstructionsTimer>().frames = message.frames;
    world.AddToGroup(shown, kInstructionsGroup);
    return shown;
}
