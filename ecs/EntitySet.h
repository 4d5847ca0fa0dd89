#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

#include "ecs/Entity.h"

// An ordered set of entities over their dense identifiers: one bit per identifier, and one
// summary bit per word of bits so that a walk skips empty stretches. Insert and erase are
// constant time and allocate only when the identifier range grows; a walk goes in ascending
// identifier order and sees every change made during it, so an entity inserted during a walk
// is reached exactly when its identifier lies after the current position.
class EntitySet {
  public:
    static constexpr EntityId kEnd = std::numeric_limits<EntityId>::max();

    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entity;
        using difference_type = std::ptrdiff_t;
        using pointer = const Entity*;
        using reference = const Entity&;

        const_iterator() = default;
        const_iterator(const EntitySet* set, EntityId id)
            : set(set), current{id, set->store}, bits(set->BitsAfter(id)), version(set->version) {}

        reference operator*() const { return current; }
        pointer operator->() const { return &current; }
        // The next identifier comes from the bits already read while the set is unchanged, so
        // that a step does not wait for a load that depends on the step before.
        const_iterator& operator++() {
            if (bits != 0 && version == set->version) [[likely]] {
                current.id = (current.id & ~EntityId{63}) + std::countr_zero(bits);
                bits &= bits - 1;
            } else {
                current.id = set->NextFrom(current.id + 1);
                bits = set->BitsAfter(current.id);
                version = set->version;
            }
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.current.id == b.current.id;
        }

      private:
        const EntitySet* set = nullptr;
        Entity current;
        // The set's bits after current.id in its word, as read at the set's version.
        std::uint64_t bits = 0;
        std::uint64_t version = 0;
    };
    using iterator = const_iterator;

    const_iterator begin() const { return {this, NextFrom(0)}; }
    const_iterator end() const { return {this, kEnd}; }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }

    bool contains(EntityId id) const {
        const auto w = static_cast<std::size_t>(id) >> 6;
        return id >= 0 && w < words.size() && (words[w] >> (id & 63) & 1) != 0;
    }

    // Inserts unless an element with the same identifier is present; returns whether it did.
    bool insert(Entity e) {
        store = e.store;
        if (contains(e.id)) {
            return false;
        }
        const auto w = static_cast<std::size_t>(e.id) >> 6;
        if (w >= words.size()) [[unlikely]] {
            Grow(w);
        }
        words[w] |= std::uint64_t{1} << (e.id & 63);
        summary[w >> 6] |= std::uint64_t{1} << (w & 63);
        ++count;
        ++version;
        return true;
    }

    // Removes the element with this identifier; returns how many were removed (0 or 1).
    std::size_t erase(EntityId id) {
        if (!contains(id)) {
            return 0;
        }
        const auto w = static_cast<std::size_t>(id) >> 6;
        words[w] &= ~(std::uint64_t{1} << (id & 63));
        if (words[w] == 0) {
            summary[w >> 6] &= ~(std::uint64_t{1} << (w & 63));
        }
        --count;
        ++version;
        return 1;
    }
    void erase(const_iterator it) { erase(it->id); }

    // Calls f(base, bits) for every word that holds members, in ascending order: the word's
    // members are base plus the position of each set bit. Faster than the iterators, since it
    // does not watch for changes: f must not change the set.
    template <typename F>
    void ForEachWord(F&& f) const {
        for (std::size_t s = 0; s < summary.size(); ++s) {
            for (std::uint64_t marks = summary[s]; marks != 0; marks &= marks - 1) {
                const std::size_t w = s * 64 + static_cast<std::size_t>(std::countr_zero(marks));
                f(static_cast<EntityId>(w * 64), words[w]);
            }
        }
    }

    // Calls f(id) for every identifier in ascending order; as ForEachWord, f must not change
    // the set.
    template <typename F>
    void ForEachId(F&& f) const {
        ForEachWord([&f](EntityId base, std::uint64_t bits) {
            for (; bits != 0; bits &= bits - 1) {
                f(base + std::countr_zero(bits));
            }
        });
    }

    // The smallest identifier in the set that is not below `from`, or kEnd.
    EntityId NextFrom(EntityId from) const {
        auto w = static_cast<std::size_t>(from) >> 6;
        if (w >= words.size()) {
            return kEnd;
        }
        if (const std::uint64_t bits = words[w] & (~std::uint64_t{0} << (from & 63))) {
            return static_cast<EntityId>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
        }
        // The next non-empty word, through the summary.
        ++w;
        auto s = w >> 6;
        if (s >= summary.size()) {
            return kEnd;
        }
        std::uint64_t marks = summary[s] & (~std::uint64_t{0} << (w & 63));
        while (marks == 0) {
            if (++s == summary.size()) {
                return kEnd;
            }
            marks = summary[s];
        }
        w = s * 64 + static_cast<std::size_t>(std::countr_zero(marks));
        return static_cast<EntityId>(w * 64 + static_cast<std::size_t>(std::countr_zero(words[w])));
    }

    // The store that handles read from the set point at.
    ComponentStore* store = nullptr;

  private:
    // Out of line, so that an insert that needs no room inlines.
    [[gnu::noinline]] void Grow(std::size_t word) {
        words.resize(word + 1, 0);
        summary.resize((word >> 6) + 1, 0);
    }

    // The bits of the identifiers after `id` in its word.
    std::uint64_t BitsAfter(EntityId id) const {
        const auto w = static_cast<std::size_t>(id) >> 6;
        if (w >= words.size()) {
            return 0;
        }
        // 2 << 63 wraps to 0, which leaves no bits after the last of a word.
        return words[w] & ~((std::uint64_t{2} << (id & 63)) - 1);
    }

    std::vector<std::uint64_t> words;
    std::vector<std::uint64_t> summary;
    std::size_t count = 0;
    // Counts changes, so that a walk knows when the bits it holds may be stale.
    std::uint64_t version = 0;
};
