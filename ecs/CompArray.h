#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "ecs/EntityId.h"
#include "ecs/PagedRecords.h"
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
        misplaced += static_cast<std::size_t>(slot != static_cast<std::uint32_t>(id));
        const auto at = static_cast<std::size_t>(id);
        if ((at >> 6) >= held.size()) {
            held.resize((at >> 6) + 1, 0);
        }
        held[at >> 6] |= std::uint64_t{1} << (at & 63);
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
        misplaced -= static_cast<std::size_t>(slot != static_cast<std::uint32_t>(id));
        const auto at = static_cast<std::size_t>(id);
        held[at >> 6] &= ~(std::uint64_t{1} << (at & 63));
        records[slot] = T{};
        freeSlots.push_back(slot);
        slotOf[at] = kNoSlot;
    }

    T& Get(EntityId id) { return records[SlotOf(id)]; }

    // Calls f(first, count) for the records page by page, held and free alike: a free record
    // holds the default, so a walk whose work leaves the default as it was may visit them all
    // without looking up a single entity.
    template <typename F>
    void ForEachRecordPage(F&& f) {
        records.ForEachPage(f);
    }

    // Whether every held record sits at the position of its entity's identifier. It stays so
    // for a component that every entity has: identifiers and positions are then handed out,
    // freed and reused in the same order.
    bool SlotsFollowIds() const { return misplaced == 0; }

    // The entities that hold a record among identifiers 64 w to 64 w + 63, one bit each, so
    // that a walk over a set of entities checks a word of them at once.
    std::uint64_t HeldWord(std::size_t w) const { return w < held.size() ? held[w] : 0; }

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
    // How many held records sit elsewhere than at their entity's identifier.
    std::size_t misplaced = 0;
    std::vector<std::uint64_t> held;

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
