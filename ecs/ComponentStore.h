#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "ecs/Entity.h"
#include "ecs/TypeKey.h"

// What the world needs of a component array without knowing its record type.
class ICompArray {
  public:
    // Stores a default record for the entity.
    virtual void Insert(EntityId id) = 0;
    // Resets the entity's record to the default and releases its position.
    virtual void Remove(EntityId id) = 0;

  protected:
    ~ICompArray() = default;
};

// The records of one component type, stored densely. Records never move to close a gap:
// a removed record is reset and its position reused (oldest first) before the vector grows,
// so a record keeps its place for the whole life of its entity.
template <typename T>
class CompArray final : public ICompArray {
  public:
    static constexpr std::uint32_t kNoSlot = std::numeric_limits<std::uint32_t>::max();

    void Insert(EntityId id) override {
        if (HasRecord(id)) {
            throw std::logic_error("entity " + std::to_string(id) + " already has a " +
                                   TypeName<T>());
        }
        if (id < 0) {
            throw std::logic_error("negative entity id " + std::to_string(id));
        }
        std::uint32_t slot;
        if (!freeSlots.empty()) {
            slot = freeSlots.front();
            freeSlots.pop_front();
            records[slot] = T{};
        } else {
            slot = static_cast<std::uint32_t>(records.size());
            records.emplace_back();
        }
        if (static_cast<std::size_t>(id) >= slotOf.size()) {
            slotOf.resize(static_cast<std::size_t>(id) + 1, kNoSlot);
        }
        slotOf[static_cast<std::size_t>(id)] = slot;
    }

    void Remove(EntityId id) override {
        std::uint32_t slot = SlotOf(id);
        records[slot] = T{};
        freeSlots.push_back(slot);
        slotOf[static_cast<std::size_t>(id)] = kNoSlot;
    }

    T& Get(EntityId id) { return records[SlotOf(id)]; }

    bool HasRecord(EntityId id) const {
        return id >= 0 && static_cast<std::size_t>(id) < slotOf.size() &&
               slotOf[static_cast<std::size_t>(id)] != kNoSlot;
    }

    // Position in records of each entity's record, indexed by identifier (identifiers are
    // dense and recycled); kNoSlot where the entity has none.
    std::vector<std::uint32_t> slotOf;
    // Positions of removed records, reused first-in first-out.
    std::deque<std::uint32_t> freeSlots;
    std::vector<T> records;

  private:
    std::uint32_t SlotOf(EntityId id) const {
        if (!HasRecord(id)) {
            throw std::logic_error("entity " + std::to_string(id) + " has no " + TypeName<T>());
        }
        return slotOf[static_cast<std::size_t>(id)];
    }
};

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
        auto it = typeIndexByName.find(KeyOf<T>());
        if (it == typeIndexByName.end()) {
            throw std::logic_error("component type " + TypeName<T>() + " is not registered");
        }
        return it->second;
    }

    ICompArray& ArrayAt(std::uint32_t typeIndex) const { return *arraysByIndex.at(typeIndex); }

    template <typename T>
    CompArray<T>& ArrayOf() const {
        return static_cast<CompArray<T>&>(*arraysByIndex[TypeIndexOf<T>()]);
    }

    std::unordered_map<TypeKey, std::uint32_t> typeIndexByName;
    // Indexed by type index.
    std::vector<std::shared_ptr<ICompArray>> arraysByIndex;
    std::int32_t nextTypeIndex = 0;

  private:
    template <typename T>
    void RegisterOne() {
        if (!typeIndexByName.try_emplace(KeyOf<T>(), nextTypeIndex).second) {
            throw std::logic_error("component type " + TypeName<T>() + " registered twice");
        }
        ++nextTypeIndex;
        arraysByIndex.push_back(std::make_shared<CompArray<T>>());
    }
};

template <typename T>
T& Entity::GetComponent() const {
    return store->ArrayOf<T>().Get(id);
}
