#include "ecs/ComponentStore.h"

#include <stdexcept>

void ThrowNoRecord(EntityId id, const std::string& type) {
    throw std::logic_error("entity " + std::to_string(id) + " has no " + type);
}

void ThrowDuplicateRecord(EntityId id, const std::string& type) {
    throw std::logic_error("entity " + std::to_string(id) + " cannot take a " + type);
}

void ThrowUnregistered(const std::string& type) {
    throw std::logic_error("component type " + type + " is not registered");
}

void ThrowRegisteredTwice(const std::string& type) {
    throw std::logic_error("component type " + type + " registered twice");
}

void ThrowTooManyTypes(const std::string& type) {
    throw std::logic_error("component type " + type + " is beyond the " +
                           std::to_string(kMaxComponentTypes) + " types a program may have");
}

std::uint32_t NextComponentTypeNumber() {
    // A function-local counter is ready whichever start-up initialiser asks first.
    static std::uint32_t next = 0;
    return next < kMaxComponentTypes ? next++ : kMaxComponentTypes;
}
