#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <memory>

// A first-in first-out queue in one ring buffer. Unlike a deque it allocates only when it has
// to grow, so a queue that is filled and drained in turns stops allocating at its peak size.
// The ring's size is always a power of two, so that a position wraps by a mask, not a division.
template <typename T>
class RingQueue {
  public:
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        const_iterator() = default;
        const_iterator(const RingQueue* queue, std::size_t index) : queue(queue), index(index) {}
        reference operator*() const { return (*queue)[index]; }
        const_iterator& operator++() {
            ++index;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++index;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.index == b.index;
        }

      private:
        const RingQueue* queue = nullptr;
        std::size_t index = 0;
    };

    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }
    const T& front() const { return ring[head]; }
    // The element `i` places behind the front.
    const T& operator[](std::size_t i) const { return ring[(head + i) & (capacity - 1)]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, count}; }

    // Makes room for n elements, so that pushing until there are n allocates nothing.
    void reserve(std::size_t n) {
        if (n > capacity) {
            Grow(std::max(std::bit_ceil(n), kFirstSize));
        }
    }

    void push_back(const T& value) {
        if (count == capacity) [[unlikely]] {
            Grow(capacity == 0 ? kFirstSize : capacity * 2);
        }
        ring[(head + count) & (capacity - 1)] = value;
        ++count;
    }

    void pop_front() {
        head = (head + 1) & (capacity - 1);
        --count;
    }

  private:
    static constexpr std::size_t kFirstSize = 16;

    // Out of line: it is rare, and kept inline it would crowd the pushes of the hot paths.
    [[gnu::noinline]] void Grow(std::size_t size) {
        // Left unwritten until used: a ring reserved ahead of need costs no memory the system
        // has to provide until elements arrive.
        auto bigger = std::make_unique_for_overwrite<T[]>(size);
        // The elements move in at most two runs, unwrapped to the front of the larger ring.
        const std::size_t tail = std::min(count, capacity - head);
        std::copy_n(ring.get() + head, tail, bigger.get());
        std::copy_n(ring.get(), count - tail, bigger.get() + tail);
        ring = std::move(bigger);
        capacity = size;
        head = 0;
    }

    std::unique_ptr<T[]> ring;
    std::size_t capacity = 0;
    std::size_t head = 0;
    std::size_t count = 0;
};
