#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ecs/EntityId.h"
#include "ecs/RingQueue.h"
#include "ecs/TypeIndex.h"

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

// Kept out of line, naming the type there too, so that the lookups that call them stay a few
// loads.
[[noreturn]] void ThrowNoRecord(EntityId id, TypeName type);
[[noreturn]] void ThrowDuplicateRecord(EntityId id, TypeName type);
[[noreturn]] void ThrowUnregistered(TypeName type);
[[noreturn]] void ThrowRegisteredTwice(TypeName type);

// Records in fixed-size pages: appending never moves a record, so a reference to one stays
// valid for as long as its position is in use.
template <typename T>
class PagedRecords {
  public:
    static constexpr std::size_t kPageShift = 9;
    static constexpr std::size_t kPageRecords = std::size_t{1} << kPageShift;

    T& operator[](std::size_t i) { return pages[i >> kPageShift][i & (kPageRecords - 1)]; }
    const T& operator[](std::size_t i) const {
        return pages[i >> kPageShift][i & (kPageRecords - 1)];
    }
    std::size_t size() const { return count; }

    // Adds a default record at the end and returns its position.
    std::size_t Append() {
        if (count == pages.size() * kPageRecords) {
            // New pages are value-initialised: every record starts as the default.
            pages.push_back(std::make_unique<T[]>(kPageRecords));
        } else {
            (*this)[count] = T{};
        }
        return count++;
    }

  private:
    std::vector<std::unique_ptr<T[]>> pages;
    std::size_t count = 0;
};

// The records of one component type. Records never move: a removed record is reset and its
// position reused (oldest first) before a new one is appended, and pages never relocate, so a
// record keeps its place for the whole life of its entity.
template <typename T>
class CompArray final : public ICompArray {
  public:
    static constexpr std::uint32_t kNoSlot = std::numeric_limits<std::uint32_t>::max();

    void Insert(EntityId id) override {
        if (id < 0 || HasRecord(id)) [[unlikely]] {
            ThrowDuplicateRecord(id, NameOf<T>());
        }
        std::uint32_t slot;
        if (!freeSlots.empty()) {
            // Remove left the record at its default.
            slot = freeSlots.front();
            freeSlots.pop_front();
        } else {
            slot = static_cast<std::uint32_t>(records.Append());
            // Room for every position to be freed, so that removing never allocates.
            freeSlots.reserve(records.size());
        }
        const auto at = static_cast<std::size_t>(id);
        if (at == slotOf.size()) {
            // Identifiers are handed out densely: the usual growth is by one.
            slotOf.push_back(slot);
            return;
        }
        if (at > slotOf.size()) {
            slotOf.resize(at + 1, kNoSlot);
        }
        slotOf[at] = slot;
    }

    void Remove(EntityId id) override {
        const std::uint32_t slot = SlotOf(id);
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
    RingQueue<std::uint32_t> freeSlots;
    PagedRecords<T> records;

  private:
    std::uint32_t SlotOf(EntityId id) const {
        // One unsigned comparison covers negative identifiers too.
        if (static_cast<std::size_t>(static_cast<std::uint32_t>(id)) >= slotOf.size())
            [[unlikely]] {
            ThrowNoRecord(id, NameOf<T>());
        }
        const std::uint32_t slot = slotOf[static_cast<std::size_t>(id)];
        if (slot == kNoSlot) [[unlikely]] {
            ThrowNoRecord(id, NameOf<T>());
        }
        return slot;
    }
};

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
