#include <SDL3/SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/SteppedGame.h"

// The real asset store and text system against broken, hostile and missing assets: each gives
// its one message (or none), and the game still runs its frames and ends normally.

namespace {

namespace fs = std::filesystem;

// Peak bytes held through SDL's allocator, where surfaces and textures come from.
struct SdlHeap {
    static inline SDL_malloc_func realMalloc;
    static inline SDL_calloc_func realCalloc;
    static inline SDL_realloc_func realRealloc;
    static inline SDL_free_func realFree;
    static inline std::int64_t held = 0, peak = 0;
    static void* Count(void* p) {
        held += p ? static_cast<std::int64_t>(malloc_usable_size(p)) : 0;
        peak = std::max(peak, held);
        return p;
    }
    static void Uncount(void* p) {
        held -= p ? static_cast<std::int64_t>(malloc_usable_size(p)) : 0;
    }
    static void Install() {
        if (realFree == nullptr) {
            SDL_GetOriginalMemoryFunctions(&realMalloc, &realCalloc, &realRealloc, &realFree);
            SDL_SetMemoryFunctions([](size_t n) { return Count(realMalloc(n)); },
                                   [](size_t n, size_t s) { return Count(realCalloc(n, s)); },
                                   [](void* p, size_t n) {
                                       Uncount(p);
                                       return Count(realRealloc(p, n));
                                   },
                                   [](void* p) {
                                       Uncount(p);
                                       realFree(p);
                                   });
        }
        peak = held;
    }
    static std::int64_t Rise() { return peak - held; }
};

enum class Damage { Missing, Empty, Truncated, Random, OnePixelPng, Directory, Unreadable };
constexpr const char* kAssets[] = {"ship-a1.png",   "ship-a2.png",       "ship-a3.png",
                                   "ship-a4.png",   "ship-a5.png",       "ship-a6.png",
                                   "big-a.png",     "med-a.png",         "small-a.png",
                                   "bullet-b1.png", "explosions-a5.png", "Retro.ttf"};
constexpr int kFrames = 30;
// A hang fails the test instead of stalling the suite.
constexpr unsigned kWatchdogSeconds = 60;
// Beyond what the intact game takes: the surface of one sprite sheet, with room to spare.
constexpr std::int64_t kSlackBytes = 4 << 20;

std::vector<char> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Outcome {
    std::string out, err;
    std::int64_t heapRise = 0;
    bool fontOpen = false, ended = false;
};

// Plays kFrames frames of the real game in a copy of Assets that `damage` has altered, then
// closes the window as a player would.
template <typename F>
Outcome Play(F&& damage) {
    const fs::path home = fs::current_path();
    char folder[] = "/tmp/voidrocks-hostile-XXXXXX";
    EXPECT_NE(mkdtemp(folder), nullptr);
    fs::copy(home / "Assets", fs::path(folder) / "Assets");
    fs::current_path(folder);
    damage(fs::path("Assets"));
    alarm(kWatchdogSeconds);
    SdlHeap::Install();
    Outcome run;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    {
        SteppedGame game;
        std::fflush(stdout);
        run.out = testing::internal::GetCapturedStdout();
        run.heapRise = SdlHeap::Rise();
        run.fontOpen = game.Platform().font != nullptr;
        SDL_SetWindowSize(game.Platform().window, 192, 108);
        bool running = true;
        for (int i = 0; i < kFrames && running; ++i) {
            running = game.Step();
        }
        SDL_Event quit{};
        quit.type = SDL_EVENT_QUIT;
        SDL_PushEvent(&quit);
        run.ended = running && !game.Step();
    }
    run.err = testing::internal::GetCapturedStderr();
    alarm(0);
    fs::current_path(home);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder);
    return run;
}

const Outcome& Intact() {
    static const Outcome run = Play([](const fs::path&) {});
    return run;
}

void Damaged(const fs::path& file, Damage how) {
    const std::vector<char> real = Bytes(file);
    fs::remove(file);
    std::ofstream out;
    if (how != Damage::Missing && how != Damage::Directory) {
        out.open(file, std::ios::binary);
    }
    switch (how) {
        case Damage::Truncated:
            out.write(real.data(), static_cast<std::streamsize>(real.size() / 2));
            break;
        case Damage::Random: {
            std::mt19937 bits(static_cast<unsigned>(real.size()));
            for (std::size_t i = 0; i < real.size(); ++i) {
                out.put(static_cast<char>(bits()));
            }
            break;
        }
        case Damage::OnePixelPng: {
            const std::vector<char> pixel =
                Bytes(fs::path(VOIDROCKS_HOSTILE_DIR) / "one-pixel.png");
            out.write(pixel.data(), static_cast<std::streamsize>(pixel.size()));
            break;
        }
        case Damage::Directory:
            fs::create_directory(file);
            break;
        case Damage::Unreadable:
            out.write(real.data(), static_cast<std::streamsize>(real.size()));
            out.close();
            fs::permissions(file, fs::perms::none);
            break;
        default:
            break;
    }
}

// What the game must report for an image it could not load, and nothing else.
void ExpectOutcome(const Outcome& run, const std::string& asset, bool loads) {
    const bool font = asset == "Retro.ttf";
    EXPECT_TRUE(run.ended);
    EXPECT_LE(run.heapRise, Intact().heapRise + kSlackBytes);
    const std::string prefix = font
                                   ? "Unable to load font Assets/Retro.ttf! SDL_ttf Error: "
                                   : "Unable to load image Assets/" + asset + "! SDL_image Error: ";
    // A font cut short may still open: then there is nothing to say.
    if (loads || (font && run.fontOpen)) {
        EXPECT_EQ(run.out, "");
    } else {
        EXPECT_EQ(run.out.rfind(prefix, 0), 0u) << run.out;
        EXPECT_GT(run.out.size(), prefix.size() + 1);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
    }
    if (!font || loads) {
        EXPECT_TRUE(run.fontOpen);
    }
    // Without a font every text fails, and says so.
    EXPECT_EQ(run.err.find("Couldn't create text: ") != std::string::npos, !run.fontOpen);
}

class HostileAsset : public testing::TestWithParam<std::tuple<const char*, Damage>> {};

TEST_P(HostileAsset, IsReportedOnceAndTheGameGoesOn) {
    const auto [asset, how] = GetParam();
    bool readable = true;
    const Outcome run = Play([&](const fs::path& assets) {
        Damaged(assets / asset, how);
        // Permissions do not stop every user (root reads anything).
        const int fd = ::open((assets / asset).c_str(), O_RDONLY);
        readable = fd >= 0;
        if (fd >= 0) {
            ::close(fd);
        }
    });
    const bool font = std::string(asset) == "Retro.ttf";
    const bool loads =
        (how == Damage::Unreadable && readable) || (how == Damage::OnePixelPng && !font);
    ExpectOutcome(run, asset, loads);
}

INSTANTIATE_TEST_SUITE_P(EveryAsset, HostileAsset,
                         testing::Combine(testing::ValuesIn(kAssets),
                                          testing::Values(Damage::Missing, Damage::Empty,
                                                          Damage::Truncated, Damage::Random,
                                                          Damage::OnePixelPng, Damage::Directory,
                                                          Damage::Unreadable)));

// Each file that once hung the loader, stalled it or made it allocate gigabytes, in place of
// one image after another.
TEST(HostileAsset, RegressionFilesAreRefused) {
    std::size_t i = 0;
    for (const auto& entry : fs::directory_iterator(VOIDROCKS_HOSTILE_DIR)) {
        if (entry.path().filename() == "one-pixel.png") {
            continue;
        }
        const std::string asset = kAssets[i++ % 11];
        SCOPED_TRACE(entry.path().filename().string() + " as " + asset);
        const Outcome run = Play([&](const fs::path& assets) {
            fs::copy_file(entry.path(), assets / asset, fs::copy_options::overwrite_existing);
        });
        ExpectOutcome(run, asset, false);
    }
    EXPECT_GE(i, 10u);
}

TEST(HostileAsset, WithoutTheAssetsFolderEveryImageIsReportedAndTheGameRuns) {
    const Outcome run = Play([](const fs::path& assets) { fs::remove_all(assets); });
    EXPECT_TRUE(run.ended);
    EXPECT_FALSE(run.fontOpen);
    // Eleven images and the font.
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 12);
    for (const char* asset : kAssets) {
        EXPECT_EQ(run.out.find(std::string("Unable to load image Assets/") + asset + "!") ==
                      std::string::npos,
                  std::string(asset) == "Retro.ttf");
    }
}

// Messages to a closed pipe are lost; the game is not killed by the signal.
TEST(HostileAsset, AClosedPipeOnStandardOutputAndErrorDoesNotEndTheGame) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(STDOUT_FILENO), savedErr = dup(STDERR_FILENO);
    dup2(pipeEnds[1], STDOUT_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    bool ended = false;
    {
        SteppedGame game;
        SDLton& sdl = game.Platform();
        sdl.LoadTexture("Assets/no-such-image.png");
        std::fflush(stdout);
        TTF_Font* font = std::exchange(sdl.font, nullptr);  // every text fails and is logged
        for (int i = 0; i < 3; ++i) {
            game.Step();
        }
        sdl.font = font;
        SDL_Event quit{};
        quit.type = SDL_EVENT_QUIT;
        SDL_PushEvent(&quit);
        ended = !game.Step();
    }
    dup2(savedOut, STDOUT_FILENO);
    dup2(savedErr, STDERR_FILENO);
    ::close(pipeEnds[1]);
    std::clearerr(stdout);
    EXPECT_TRUE(ended);
}

}  // namespace
