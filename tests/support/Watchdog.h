#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test program when a run takes longer than its limit, so that a hang fails the test
// instead of stalling the suite. A thread rather than a signal, as Windows has no alarm().
#ifdef __EMSCRIPTEN__
// Under node the tests run in one thread and nothing can run beside a hung call: CTest's
// timeout ends the program there instead.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds) {}
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};
#else
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread([this, limit] {
              std::unique_lock lock(mutex);
              if (!done.wait_for(lock, limit, [this] { return finished; })) {
                  std::fprintf(stderr, "Watchdog: still running after %lld s\n",
                               static_cast<long long>(limit.count()));
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex);
            finished = true;
        }
        done.notify_one();
        thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread thread;  // last: starts once the members it waits on exist
};
#endif
