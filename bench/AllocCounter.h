#pragma once

#include <cstdint>

// Heap allocations made through operator new since the program started. Counted by a
// replacement of the global operator new that only the benchmark binary links.
std::uint64_t HeapAllocations();
