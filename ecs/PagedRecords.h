#pragma once

#include <cstddef>
#include <memory>
#include <vector>

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
    // The first record of page p (position p << kPageShift).
    T* Page(std::size_t p) { return pages[p].get(); }
    std::size_t PageCount() const { return pages.size(); }

    // Calls f(first, count) for each page's records in position order, up to the last
    // position handed out: a walk over every record with no lookup per record.
    template <typename F>
    void ForEachPage(F&& f) {
        std::size_t left = count;
        for (std::size_t p = 0; left > 0; ++p) {
            const std::size_t n = left < kPageRecords ? left : kPageRecords;
            f(pages[p].get(), n);
            left -= n;
        }
    }

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
