#pragma once

#include <memory>
#include <stdexcept>
#include <unordered_map>

#include "ecs/TypeIndex.h"

// Base of every object kept in a singleton map (the platform context, a scene's entity creator).
struct Singleton {};

// One object per type, owned by the map.
using SingletonMap = std::unordered_map<TypeName, std::shared_ptr<Singleton>>;

// Stores a new T unless the map already holds one; the first object stays.
template <typename T>
void AddSingletonTo(SingletonMap& map) {
    map.try_emplace(NameOf<T>(), std::make_shared<T>());
}

// The throwing lookup: a type that was never added is a programming error.
template <typename T>
T* GetSingletonFrom(const SingletonMap& map) {
    auto it = map.find(NameOf<T>());
    if (it == map.end()) {
        throw std::out_of_range("no singleton of type " + ReadableName<T>());
    }
    return static_cast<T*>(it->second.get());
}

// The inserting lookup: a missing type yields null and leaves an empty entry.
template <typename T>
T* GetSceneSingletonFrom(SingletonMap& map) {
    return static_cast<T*>(map[NameOf<T>()].get());
}
