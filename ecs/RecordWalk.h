#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "ecs/CompArray.h"
#include "ecs/EntityId.h"
#include "ecs/Group.h"

// Calls f(id, record) for every member of the group with its record in the array, in
// ascending identifier order; a member without a record throws as CompArray::Get does. f
// may change records but not the group's members (a copy of a group may be walked while the
// group changes). Where the array's records sit at their identifiers, a word of members lies
// within one page and is checked for records at once, so that a member costs no lookup.
template <typename T, typename F>
void ForEachRecordOf(const Group& group, CompArray<T>& array, F&& f) {
    if (!array.SlotsFollowIds()) {
        group.ForEachId([&](EntityId id) { f(id, array.Get(id)); });
        return;
    }
    static_assert(PagedRecords<T>::kPageRecords % 64 == 0, "a word of members spans one page");
    group.ForEachWord([&](EntityId base, std::uint64_t bits) {
        const auto first = static_cast<std::size_t>(base);
        const std::uint64_t without = bits & ~array.HeldWord(first >> 6);
        if (without != 0) [[unlikely]] {
            array.Get(base + std::countr_zero(without));  // throws: that member has no record
        }
        // Held records lie below the array's size, so their page is there.
        T* const records = array.records.Page(first >> PagedRecords<T>::kPageShift) +
                           (first & (PagedRecords<T>::kPageRecords - 1));
        // Crowds fill whole words; their members need no search for the next bit.
        if (bits == ~std::uint64_t{0}) {
            for (int at = 0; at < 64; ++at) {
                f(base + at, records[at]);
            }
            return;
        }
        for (; bits != 0; bits &= bits - 1) {
            const int at = std::countr_zero(bits);
            f(base + at, records[at]);
        }
    });
}
