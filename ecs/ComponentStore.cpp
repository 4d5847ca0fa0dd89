#include "ecs/ComponentStore.h"

#include <stdexcept>

void ThrowNoRecord(EntityId id, TypeKey type) {
    throw std::logic_error("entity " + std::to_string(id) + " has no " + TypeName(type));
}

void ThrowDuplicateRecord(EntityId id, TypeKey type) {
    throw std::logic_error("entity " + std::to_string(id) + " cannot take a " + TypeName(type));
}

void ThrowUnregistered(TypeKey type) {
    throw std::logic_error("component type " + TypeName(type) + " is not registered");
}

void ThrowRegisteredTwice(TypeKey type) {
    throw std::logic_error("component type " + TypeName(type) + " registered twice");
}

void ThrowTooManyTypes(TypeKey type) {
    throw std::logic_error("component type " + TypeName(type) + " is beyond the " +
                           std::to_string(kMaxComponentTypes) + " types a program may have");
}
