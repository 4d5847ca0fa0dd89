#pragma once

#include <cstdint>

// An entity's identifier: dense, starting at 0, reused once freed.
using EntityId = std::int32_t;
