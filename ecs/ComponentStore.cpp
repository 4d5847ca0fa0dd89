#include "ecs/ComponentStore.h"

#include <stdexcept>

void ThrowNoRecord(EntityId id, TypeName type) {
    throw std::logic_error("entity " + std::to_string(id) + " has no " + ReadableName(type));
}

void ThrowDuplicateRecord(EntityId id, TypeName type) {
    throw std::logic_error("entity " + std::to_string(id) + " cannot take a " + ReadableName(type));
}

void ThrowUnregistered(TypeName type) {
    throw std::logic_error("component type " + ReadableName(type) + " is not registered");
}

void ThrowRegisteredTwice(TypeName type) {
    throw std::logic_error("component type " + ReadableName(type) + " registered twice");
}

void ThrowTooManyTypes(TypeName type) {
    throw std::logic_error("component type " + ReadableName(type) + " is beyond the " +
                           std::to_string(kMaxComponentTypes) + " types a program may have");
}
