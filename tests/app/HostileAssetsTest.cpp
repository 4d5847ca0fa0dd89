#include <SDL3/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/SteppedGame.h"
#include "support/HostCalls.h"
#include "support/Watchdog.h"

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
    static void* Count(void* p, void* old = nullptr) {
        held += std::int64_t(HeapBlockBytes(p)) - std::int64_t(HeapBlockBytes(old));
        peak = std::max(peak, held);
        return p;
    }
    static void Install() {
        if (realFree == nullptr) {
            SDL_GetOriginalMemoryFunctions(&realMalloc, &realCalloc, &realRealloc, &realFree);
            SDL_SetMemoryFunctions(
                [](size_t n) { return Count(realMalloc(n)); },
                [](size_t n, size_t s) { return Count(realCalloc(n, s)); },
                [](void* p, size_t n) { return Count(nullptr, p), Count(realRealloc(p, n)); },
                [](void* p) { Count(nullptr, p), realFree(p); });
        }
        peak = held;
    }
};

enum class Damage { Missing, Empty, Truncated, Random, OnePixelPng, Directory, Unreadable };
constexpr const char* kDamageNames[] = {"Missing",     "Empty",     "Truncated", "Random",
                                        "OnePixelPng", "Directory", "Unreadable"};
constexpr const char* kAssets[] = {"ship-a1.png",   "ship-a2.png",       "ship-a3.png",
                                   "ship-a4.png",   "ship-a5.png",       "ship-a6.png",
                                   "big-a.png",     "med-a.png",         "small-a.png",
                                   "bullet-b1.png", "explosions-a5.png", "Retro.ttf"};
constexpr std::string_view kFont = "Retro.ttf";
constexpr int kFrames = 30;
// A hang fails the test instead of stalling the suite.
constexpr std::chrono::seconds kWatchdogLimit{60};
// Beyond what the intact game takes: the surface of one sprite sheet, with room to spare.
constexpr std::int64_t kSlackBytes = 4 << 20;

std::vector<char> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Outcome {
    std::string out, err, folder;
    std::int64_t heapRise = 0;
    std::size_t sprites = 0;
    bool fontOpen = false, ended = false;
};

// Plays kFrames frames of the real game in a copy of Assets that `damage` has altered, then
// closes the window as a player would.
template <typename F>
Outcome Play(F&& damage) {
    const fs::path home = fs::current_path();
    const fs::path folder = MakeTempFolder("voidrocks-hostile-");
    fs::copy(home / "Assets", folder / "Assets");
    fs::current_path(folder);
    damage(fs::path("Assets"));
    std::optional<Watchdog> watchdog(std::in_place, kWatchdogLimit);
    SdlHeap::Install();
    Outcome run;
    // As the game names it (UTF-8, the operating system's own spelling of the folder).
    const std::u8string here = fs::current_path().u8string();
    run.folder.assign(here.begin(), here.end());
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    {
        SteppedGame game;
        std::fflush(stdout);
        run.out = testing::internal::GetCapturedStdout();
        run.heapRise = SdlHeap::peak - SdlHeap::held;
        run.fontOpen = game.Platform().font != nullptr;
        run.sprites = game.Platform().sprites.size();
        SDL_SetWindowSize(game.Platform().window, 192, 108);
        bool running = true;
        for (int i = 0; i < kFrames && running; ++i) {
            running = game.Step();
        }
        SDL_Event quit{.type = SDL_EVENT_QUIT};
        SDL_PushEvent(&quit);
        run.ended = running && !game.Step();
    }
    run.err = testing::internal::GetCapturedStderr();
    watchdog.reset();
    fs::current_path(home);
    // Windows refuses to delete a read-only file: every entry is made writable first.
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    fs::remove_all(folder);
    return run;
}

// Damages the file; returns whether the game can still read it.
bool Damaged(const fs::path& file, Damage how) {
    std::vector<char> bytes = Bytes(file);
    fs::remove(file);
    if (how == Damage::Directory) {
        fs::create_directory(file);
    }
    if (how == Damage::Missing || how == Damage::Directory) {
        return false;
    }
    if (how == Damage::Empty || how == Damage::Truncated) {
        bytes.resize(how == Damage::Empty ? 0 : bytes.size() / 2);
    } else if (how == Damage::Random) {
        std::mt19937 bits(static_cast<unsigned>(bytes.size()));
        std::ranges::generate(bytes, [&] { return static_cast<char>(bits()); });
    } else if (how == Damage::OnePixelPng) {
        bytes = Bytes(fs::path(VOIDROCKS_HOSTILE_DIR) / "one-pixel.png");
    }
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // On Windows this only marks the file read-only.
    if (how == Damage::Unreadable) {
        fs::permissions(file, fs::perms::none);
    }
    // Permissions do not stop every user (root reads anything).
    return std::ifstream(file, std::ios::binary).is_open();
}

// The one line naming `asset` and its library's reason, or npos.
std::size_t Reported(const std::string& out, const std::string& asset) {
    const std::string prefix = asset == kFont
                                   ? "Unable to load font Assets/Retro.ttf! SDL_ttf Error: "
                                   : "Unable to load image Assets/" + asset + "! SDL_image Error: ";
    const std::size_t at = out.find(prefix);
    const bool once = at != std::string::npos && out.find(prefix, at + 1) == std::string::npos;
    const bool reason = once && out.size() > at + prefix.size() && out[at + prefix.size()] != '\n';
    return reason ? at : std::string::npos;
}

// What the game must report for an asset it could not load, and nothing else.
void ExpectOutcome(const Outcome& run, const std::string& asset, bool loads) {
    static const Outcome intact = Play([](const fs::path&) {});
    EXPECT_TRUE(run.ended);
    EXPECT_LE(run.heapRise, intact.heapRise + kSlackBytes);
    EXPECT_EQ(run.sprites, 11u);
    EXPECT_EQ(run.err.find(run.folder), std::string::npos) << run.err;
    // A font cut short may still open: then there is nothing to say.
    if (loads || ((asset == kFont) && run.fontOpen)) {
        EXPECT_EQ(run.out, "");
    } else {
        EXPECT_EQ(Reported(run.out, asset), 0u) << run.out;
        EXPECT_EQ(std::ranges::count(run.out, '\n'), 1);
    }
    EXPECT_TRUE(run.fontOpen || ((asset == kFont) && !loads));
    // Without a font every text fails, and says so.
    EXPECT_EQ(run.err.find("Couldn't create text: ") != std::string::npos, !run.fontOpen);
}

class HostileAsset : public testing::TestWithParam<std::tuple<const char*, Damage>> {};

TEST_P(HostileAsset, IsReportedOnceAndTheGameGoesOn) {
    const auto [asset, how] = GetParam();
    bool readable = false;
    const Outcome run =
        Play([&](const fs::path& assets) { readable = Damaged(assets / asset, how); });
    const bool loads = (how == Damage::Unreadable && readable) ||
                       (how == Damage::OnePixelPng && !(asset == kFont));
    ExpectOutcome(run, asset, loads);
}

INSTANTIATE_TEST_SUITE_P(EveryAsset, HostileAsset,
                         testing::Combine(testing::ValuesIn(kAssets),
                                          testing::Values(Damage::Missing, Damage::Empty,
                                                          Damage::Truncated, Damage::Random,
                                                          Damage::OnePixelPng, Damage::Directory,
                                                          Damage::Unreadable)),
                         // "ship_a1_png_Missing": the same name on every run.
                         [](const auto& info) {
                             std::string name = std::get<0>(info.param);
                             std::ranges::replace_if(
                                 name, [](unsigned char c) { return !std::isalnum(c); }, '_');
                             return name + "_" + kDamageNames[int(std::get<1>(info.param))];
                         });

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
        ExpectOutcome(Play([&](const fs::path& assets) {
                          // Removed first: mingw's GCC 12 copy_file refuses to overwrite.
                          fs::remove(assets / asset);
                          fs::copy_file(entry.path(), assets / asset);
                      }),
                      asset, false);
    }
    EXPECT_GE(i, 10u);
}

// Every image and the font are named once, the font first, and the folder looked in once.
TEST(HostileAsset, WithoutTheAssetsFolderEachAssetAndTheFolderAreReported) {
    const Outcome run = Play([](const fs::path& assets) { fs::remove_all(assets); });
    EXPECT_TRUE(run.ended);
    EXPECT_FALSE(run.fontOpen);
    EXPECT_EQ(run.sprites, 11u);
    EXPECT_EQ(std::ranges::count(run.out, '\n'), 12);
    for (const char* asset : kAssets) {
        EXPECT_NE(Reported(run.out, asset), std::string::npos) << asset << "\n" << run.out;
    }
    EXPECT_EQ(Reported(run.out, "Retro.ttf"), 0u);
    const std::size_t at = run.err.find(" " + run.folder + ":");
    EXPECT_NE(at, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(run.folder, at + 2), std::string::npos) << run.err;
}

// Messages to a closed pipe are lost; the game is not killed by the signal.
TEST(HostileAsset, AClosedPipeOnStandardOutputAndErrorDoesNotEndTheGame) {
    int ends[2];
    ASSERT_TRUE(OpenPipe(ends));
    ::close(ends[0]);
    std::fflush(stdout);
    const int saved[] = {dup(STDOUT_FILENO), dup(STDERR_FILENO)};
    dup2(ends[1], STDOUT_FILENO);
    dup2(ends[1], STDERR_FILENO);
    bool ended = false;
    {
        SteppedGame game;
        game.Platform().LoadTexture("Assets/no-such-image.png");
        std::fflush(stdout);
        TTF_Font* font = std::exchange(game.Platform().font, nullptr);  // every text fails
        for (int i = 0; i < 3; ++i) {
            game.Step();
        }
        game.Platform().font = font;
        SDL_Event quit{.type = SDL_EVENT_QUIT};
        SDL_PushEvent(&quit);
        ended = !game.Step();
    }
    dup2(saved[0], STDOUT_FILENO);
    dup2(saved[1], STDERR_FILENO);
    ::close(ends[1]);
    std::clearerr(stdout);
    EXPECT_TRUE(ended);
}

}  // namespace
