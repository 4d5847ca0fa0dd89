// Preloaded into an unchanged game: counts presented frames and the process's CPU time over a
// window of wall-clock time, prints one line and ends the process.
//   VOIDROCKS_METER_SKIP_S   seconds after the first present before counting (default 0.5)
//   VOIDROCKS_METER_S        seconds counted (default 12)
//   VOIDROCKS_METER_LABEL    first word of the line printed (default "frames")
//   VOIDROCKS_METER_EXEC_NS  wall-clock time (CLOCK_REALTIME, nanoseconds) just before the
//                            game was executed: then only the time from there to the first
//                            present is printed, with the processor time and the peak
//                            resident memory so far

#include <SDL3/SDL.h>
#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double Seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double EnvSeconds(const char* name, double fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atof(value) : fallback;
}

// The process's peak resident memory so far, in MiB.
double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux counts in KiB
}

const char* Label() {
    const char* label = std::getenv("VOIDROCKS_METER_LABEL");
    return label != nullptr ? label : "frames";
}

using PresentFn = bool (*)(SDL_Renderer*);

struct Meter {
    PresentFn present = reinterpret_cast<PresentFn>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    double skip = EnvSeconds("VOIDROCKS_METER_SKIP_S", 0.5);
    double span = EnvSeconds("VOIDROCKS_METER_S", 12.0);
    double firstPresent = -1.0;
    double wallStart = -1.0;
    double cpuStart = 0.0;
    long frames = 0;

    void Count(SDL_Renderer* renderer) {
        const double now = Seconds(CLOCK_MONOTONIC);
        if (firstPresent < 0.0) {
            firstPresent = now;
            if (const char* exec = std::getenv("VOIDROCKS_METER_EXEC_NS")) {
                const double since = Seconds(CLOCK_REALTIME) - std::atof(exec) * 1e-9;
                std::printf(
                    "%s renderer=%s exec_to_first_present_ms=%.1f cpu_ms=%.1f peak_rss_mib=%.1f\n",
                    Label(), SDL_GetRendererName(renderer), 1000.0 * since,
                    1000.0 * Seconds(CLOCK_PROCESS_CPUTIME_ID), PeakRssMiB());
                std::fflush(stdout);
                _exit(0);
            }
        }
        if (wallStart < 0.0) {
            if (now - firstPresent >= skip) {
                wallStart = now;
                cpuStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
            }
            return;
        }
        ++frames;
        if (now - wallStart < span) {
            return;
        }
        const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        std::printf(
            "%s renderer=%s fps=%.1f cpu_ms_per_frame=%.2f frames=%ld seconds=%.2f "
            "peak_rss_mib=%.1f\n",
            Label(), SDL_GetRendererName(renderer), static_cast<double>(frames) / (now - wallStart),
            1000.0 * cpu / static_cast<double>(frames), frames, now - wallStart, PeakRssMiB());
        std::fflush(stdout);
        _exit(0);
    }
};

}  // namespace

extern "C" SDL_DECLSPEC bool SDLCALL SDL_RenderPresent(SDL_Renderer* renderer) {
    static Meter meter;
    const bool presented = meter.present(renderer);
    meter.Count(renderer);
    return presented;
}
