#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "ecs/CompArray.h"
#include "ecs/TypeIndex.h"

// Out of line, so that the lookups that call them stay a few loads.
[[noreturn]] void ThrowUnregistered(TypeName type);
[[noreturn]] void ThrowRegisteredTwice(TypeName type);

// More component types than a program of this size could use; a fixed table keeps the lookup
// free of a size to load. Types beyond it all get the index kMaxComponentTypes, whose entry
// stays empty, so that the lookup needs no range check either.
inline constexpr std::uint32_t kMaxComponentTypes = 256;
[[noreturn]] void ThrowTooManyTypes(TypeName type);
struct ComponentTypes;
// Besides its type index in each store (the order of registration there), every component type
// has a program-wide type index, handed out at start-up, so that a store finds a type's array
// by indexing instead of hashing its name.
template <typename T>
inline const std::uint32_t kProgramTypeIndex = std::min(NextIndex<ComponentTypes>(),
                                                        kMaxComponentTypes);

// Gives every component type its type index and owns the array of each.
class ComponentStore {
  public:
    // Registers the types in list order; each gets the next type index and an empty array.
    template <typename... Ts>
    void RegisterComponent() {
        (RegisterOne<Ts>(), ...);
    }

    template <typename T>
    std::uint32_t TypeIndexOf() const {
        auto it = typeIndexByName.find(NameOf<T>());
        if (it == typeIndexByName.end()) [[unlikely]] {
            ThrowUnregistered(NameOf<T>());
        }
        return it->second;
    }

    ICompArray& ArrayAt(std::uint32_t typeIndex) const { return *arraysByIndex.at(typeIndex); }

    template <typename T>
    CompArray<T>& ArrayOf() const {
        const std::uint32_t index = kProgramTypeIndex<T>;
        if (arrayByProgramTypeIndex[index] == nullptr) [[unlikely]] {
            ThrowUnregistered(NameOf<T>());
        }
        return *static_cast<CompArray<T>*>(arrayByProgramTypeIndex[index]);
    }

    std::unordered_map<TypeName, std::uint32_t> typeIndexByName;
    // Indexed by type index.
    std::vector<std::shared_ptr<ICompArray>> arraysByIndex;
    std::int32_t nextTypeIndex = 0;
    // The same arrays, indexed by kProgramTypeIndex; null for types not registered here.
    std::array<ICompArray*, kMaxComponentTypes + 1> arrayByProgramTypeIndex{};

  private:
    template <typename T>
    void RegisterOne() {
        const std::uint32_t index = kProgramTypeIndex<T>;
        if (index == kMaxComponentTypes) {
            ThrowTooManyTypes(NameOf<T>());
        }
        if (!typeIndexByName.try_emplace(NameOf<T>(), nextTypeIndex).second) {
            ThrowRegisteredTwice(NameOf<T>());
        }
        ++nextTypeIndex;
        auto array = std::make_shared<CompArray<T>>();
        arrayByProgramTypeIndex[index] = array.get();
        arraysByIndex.push_back(std::move(array));
    }
};
