#pragma once

#include <chrono>

// Wall-clock nanoseconds that f takes: the benchmarks time the game and its plain twin by hand,
// alternately, so that both see the same machine.
template <typename F>
double TimeNs(F&& f) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}
