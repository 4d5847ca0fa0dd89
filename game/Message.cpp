#include "game/Message.h"

#include "game/Components.h"

Entity ShowMessage(World& world, std::string text, float x, float y, std::int32_t frames) {
    Entity message = world.CreateEntity("instructions");
    Transform& at = message.GetComponent<Transform>();
    at.x = x;
    at.y = y;
    message.GetComponent<TextRenderer>().text = std::move(text);
    message.GetComponent<InstructionsTimer>().frames = frames;
    world.AddToGroup(message, "instructions");
    return message;
}
