#include <SDL3/SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/SteppedGame.h"
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

enum class Damage { Missing, Empty, Truncated, Random, OnePixelPng, Directory, Unreadable, Pipe };
constexpr const char* kDamageNames[] = {"Missing",     "Empty",     "Truncated",  "Random",
                                        "OnePixelPng", "Directory", "Unreadable", "Pipe"};
// Windows has no pipe that lives at a file's path: a FIFO is POSIX's alone.
constexpr Damage kDamages[] = {Damage::Missing,    Damage::Empty,       Damage::Truncated,
                               Damage::Random,     Damage::OnePixelPng, Damage::Directory,
                               Damage::Unreadable,
#ifndef _WIN32
                               Damage::Pipe
#endif
};
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
// Processor time beyond the intact game's start-up and slowest frame: far below what a stall
// costs (seconds for a compression bomb or an oversized font), far above what a busy machine
// adds. Processor time, not the clock's, as other work on the machine does not count in it.
constexpr double kStallSeconds = 1.0;
// The only lines the game itself writes on standard error while it runs.
constexpr std::string_view kTextLine = "Couldn't create text: ";

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<char> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Outcome {
    std::string out, err, folder;
    std::int64_t heapRise = 0;
    double startSeconds = 0, slowestFrameSeconds = 0;
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
        const double start = ProcessorSeconds();
        SteppedGame game;
        run.startSeconds = ProcessorSeconds() - start;
        std::fflush(stdout);
        run.out = testing::internal::GetCapturedStdout();
        run.heapRise = SdlHeap::peak - SdlHeap::held;
        run.fontOpen = game.Platform().font != nullptr;
        run.sprites = game.Platform().sprites.size();
        SDL_SetWindowSize(game.Platform().window, 192, 108);
        bool running = true;
        for (int i = 0; i < kFrames && running; ++i) {
            const double frame = ProcessorSeconds();
            running = game.Step();
            run.slowestFrameSeconds = std::max(run.slowestFrameSeconds, ProcessorSeconds() - frame);
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
#ifndef _WIN32
    if (how == Damage::Pipe) {
        // Opening it would wait for a writer for good.
        EXPECT_EQ(mkfifo(file.c_str(), 0600), 0);
    }
#endif
    if (how == Damage::Missing || how == Damage::Directory || how == Damage::Pipe) {
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

// Every line on standard error is the game's own, never a library's.
bool OnlyTheGamesLines(const std::string& err) {
    std::size_t at = 0;
    while (at < err.size()) {
        if (err.compare(at, kTextLine.size(), kTextLine) != 0) {
            return false;
        }
        at = err.find('\n', at);
        at = at == std::string::npos ? err.size() : at + 1;
    }
    return true;
}

const Outcome& Intact() {
    static const Outcome intact = Play([](const fs::path&) {});
    return intact;
}

// What the game must report for an asset it could not load, and nothing else.
void ExpectOutcome(const Outcome& run, const std::string& asset, bool loads) {
    const Outcome& intact = Intact();
    EXPECT_TRUE(run.ended);
    EXPECT_LE(run.heapRise, intact.heapRise + kSlackBytes);
    EXPECT_LE(run.startSeconds, intact.startSeconds + kStallSeconds);
    EXPECT_LE(run.slowestFrameSeconds, intact.slowestFrameSeconds + kStallSeconds);
    EXPECT_TRUE(OnlyTheGamesLines(run.err)) << run.err;
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
                         testing::Combine(testing::ValuesIn(kAssets), testing::ValuesIn(kDamages)),
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
        const Outcome run = Play([&](const fs::path& assets) {
            // Removed first: mingw's GCC 12 copy_file refuses to overwrite.
            fs::remove(assets / asset);
            fs::copy_file(entry.path(), assets / asset);
        });
        // libpng releases differ on a zero gamma: older ones complain, and the image is
        // refused; newer ones pass over the chunk, and it loads. Either way quietly.
        const bool mayLoad = entry.path().filename() == "gamma-zero.png";
        ExpectOutcome(run, asset, mayLoad && run.out.empty());
        EXPECT_EQ(run.err.find("libpng"), std::string::npos) << run.err;
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
    // The working folder, then the executable's, which has no Assets either.
    const std::size_t at = run.err.find("No Assets folder in " + run.folder + " or ");
    EXPECT_EQ(at, 0u) << run.err;
    EXPECT_EQ(run.err.find(run.folder, at + 21), std::string::npos) << run.err;
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

void PutBigEndian(std::vector<char>& bytes, std::size_t at, std::uint64_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
    }
}

void Write(const fs::path& file, const std::vector<char>& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// At 48 points with 16, 32 or 64 units per em (the font has 1536) the texts cost gigabytes and
// seconds a frame; measured before anything is rendered, the font is refused as a missing one.
TEST(HostileAsset, AFontWhoseTextsWouldNotFitTheCanvasIsRefused) {
    for (const std::uint16_t units : {16, 32, 64}) {
        SCOPED_TRACE(units);
        const Outcome run = Play([&](const fs::path& assets) {
            std::vector<char> font = Bytes(assets / kFont);
            const std::size_t head = std::string_view(font.data(), 512).find("head");
            ASSERT_NE(head, std::string::npos);
            const auto* at = reinterpret_cast<const unsigned char*>(font.data() + head + 8);
            const std::size_t table = std::size_t{at[0]} << 24 | at[1] << 16 | at[2] << 8 | at[3];
            font[table + 18] = static_cast<char>(units >> 8);  // unitsPerEm
            font[table + 19] = static_cast<char>(units);
            Write(assets / kFont, font);
        });
        ExpectOutcome(run, std::string(kFont), false);
        EXPECT_EQ(run.out.rfind("Unable to load font Assets/Retro.ttf! SDL_ttf Error: \"Press UP, "
                                "DOWN, LEFT, RIGHT to fly.\" would be ",
                                0),
                  0u)
            << run.out;
        EXPECT_TRUE(run.out.ends_with(" pixels, larger than the 1920 x 1080 canvas\n")) << run.out;
    }
}

// A 1024 x 1024 image whose data goes on inflating, as zeros, to 1 GB in a 1 MB file: one
// flushed run of zeros repeated, so that it takes milliseconds to make.
std::vector<char> CompressionBomb() {
    constexpr std::size_t kRows = 1024 * (1 + 1024 * 4), kRun = std::size_t{1} << 20;
    std::vector<char> zeros(kRows), rows(kRows), run(kRun);
    z_stream z{};
    deflateInit(&z, 9);
    const auto flush = [&](std::size_t size, std::vector<char>& out) {
        z.next_in = reinterpret_cast<Bytef*>(zeros.data());
        z.avail_in = static_cast<uInt>(size);
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FULL_FLUSH);
        out.resize(out.size() - z.avail_out);
    };
    flush(kRows, rows);
    flush(kRun, run);
    deflateEnd(&z);
    std::vector<char> png = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n', 0, 0, 0, 13};
    png.insert(png.end(), {'I', 'H', 'D', 'R', 0, 0, 4, 0, 0, 0, 4, 0, 8, 6, 0, 0, 0, 0, 0, 0, 0});
    png.insert(png.end(), {0, 0, 0, 0, 'I', 'D', 'A', 'T'});
    png.insert(png.end(), rows.begin(), rows.end());
    uLong sum = adler32_z(adler32(0, nullptr, 0), reinterpret_cast<Bytef*>(zeros.data()), kRows);
    const uLong runSum =
        adler32_z(adler32(0, nullptr, 0), reinterpret_cast<Bytef*>(zeros.data()), kRun);
    for (int i = 0; i < 1024; ++i) {
        png.insert(png.end(), run.begin(), run.end());
        sum = adler32_combine(sum, runSum, kRun);
    }
    png.insert(png.end(), {1, 0, 0, '\xff', '\xff', 0, 0, 0, 0});  // last block, checksum
    PutBigEndian(png, png.size() - 4, sum);
    png.insert(png.end(), {0, 0, 0, 0, 0, 0, 0, 0, 'I', 'E', 'N', 'D', '\xae', 'B', '`', '\x82'});
    // The two CRCs, over each chunk's type and data.
    const auto crc = [&](std::size_t type, std::size_t length) {
        PutBigEndian(png, type + 4 + length,
                     crc32_z(0, reinterpret_cast<Bytef*>(png.data() + type), length + 4));
    };
    crc(12, 13);
    const std::size_t data = png.size() - 12 - 4 - 33 - 8;
    PutBigEndian(png, 33, data);
    crc(37, data);
    return png;
}

// A 1 MB file that inflated to 1 GB held start-up for seconds; the inflating now stops just past
// the 4 MB the header declares.
TEST(HostileAsset, ACompressionBombIsRefusedWithoutStallingStartUp) {
    const std::vector<char> bomb = CompressionBomb();
    EXPECT_LT(bomb.size(), std::size_t{2} << 20);
    const Outcome run = Play([&](const fs::path& assets) { Write(assets / "ship-a1.png", bomb); });
    ExpectOutcome(run, "ship-a1.png", false);
    EXPECT_EQ(run.out,
              "Unable to load image Assets/ship-a1.png! SDL_image Error: PNG image data inflates "
              "beyond the 4195328 bytes its header declares\n");
    EXPECT_EQ(run.err, "");
}

// Started with the standard streams closed, the game's first descriptors took their numbers: on
// X11 the display connection became standard error, the first message went into it and the game
// hung. A socket opened after start-up stands in for that connection.
TEST(HostileAsset, ClosedStandardStreamsAreReopenedSoNoLaterDescriptorTakesTheirNumbers) {
    std::fflush(stdout);
    const int saved[] = {dup(STDIN_FILENO), dup(STDOUT_FILENO), dup(STDERR_FILENO)};
    for (int stream = 0; stream < 3; ++stream) {
        ::close(stream);
    }
    bool reopened = false, ended = false;
    std::optional<StandInConnection> connection;
    {
        SteppedGame game;
        reopened = IsNullDevice(0) && IsNullDevice(1) && IsNullDevice(2);
        connection.emplace();
        TTF_Font* font = std::exchange(game.Platform().font, nullptr);  // every text fails
        for (int i = 0; i < 3; ++i) {
            game.Step();
        }
        game.Platform().font = font;
        SDL_Event quit{.type = SDL_EVENT_QUIT};
        SDL_PushEvent(&quit);
        ended = !game.Step();
    }
    const bool opened = connection->Opened(), leaked = connection->Written();
    const int lowest = connection->LowestDescriptor();
    connection.reset();
    for (int stream = 0; stream < 3; ++stream) {
        dup2(saved[stream], stream);
        ::close(saved[stream]);
    }
    EXPECT_TRUE(reopened);
    EXPECT_TRUE(opened);
    EXPECT_GT(lowest, 2);
    EXPECT_FALSE(leaked);
    EXPECT_TRUE(ended);
}

// Started from a folder without Assets, the game uses those beside its executable and is whole;
// a working folder with Assets still wins; with neither, both folders are named.
TEST(HostileAsset, WithoutAssetsInTheWorkingFolderTheExecutablesFolderIsUsed) {
    const fs::path home = fs::current_path();
    const fs::path made = MakeTempFolder("voidrocks-beside-");
    const fs::path elsewhere = made / "elsewhere", beside = made / "game";
    fs::create_directories(elsewhere);
    fs::create_directories(beside);
    fs::copy(home / "Assets", beside / "Assets");
    fs::current_path(elsewhere);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool found = FindAssetsFolder(beside);
    const fs::path used = fs::current_path();
    std::size_t loaded = 0;
    {
        SteppedGame game;
        loaded = std::ranges::count_if(game.Platform().sprites,
                                       [](const auto& s) { return s.second.texture != nullptr; });
        loaded += game.Platform().font != nullptr ? 1 : 0;
    }
    fs::copy(beside / "Assets", elsewhere / "Assets");
    fs::current_path(elsewhere);
    const bool kept = FindAssetsFolder(beside) && fs::current_path() == elsewhere;
    fs::remove_all(elsewhere / "Assets");
    fs::remove_all(beside / "Assets");
    const bool none = FindAssetsFolder(beside);
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    fs::current_path(home);
    fs::remove_all(made);
    EXPECT_TRUE(found && kept && !none);
    EXPECT_EQ(used, beside);
    EXPECT_EQ(loaded, 12u);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "No Assets folder in " + elsewhere.string() + " or " + beside.string() +
                       ": images and font cannot be loaded\n");
}

#ifndef _WIN32
// Over ssh without a display: the game's one line, not libwayland's complaints before it. (A
// Windows session always has its desktop.)
TEST(HostileAsset, WithoutAnyDisplayTheGameSaysSoInOneLine) {
    const fs::path err = fs::temp_directory_path() / "voidrocks-no-display-err.txt";
    const std::string command =
        "env -u SDL_VIDEO_DRIVER -u DISPLAY -u WAYLAND_DISPLAY -u "
        "WAYLAND_SOCKET -u XDG_RUNTIME_DIR " VOIDROCKS_EXECUTABLE " 2>" +
        err.string();
    int status = 0;
    {
        const Watchdog watchdog(kWatchdogLimit);
        status = std::system(command.c_str());
    }
    const std::vector<char> text = Bytes(err);
    fs::remove(err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    const std::string line(text.begin(), text.end());
    EXPECT_EQ(line.rfind("Voidrocks cannot start: cannot start SDL video: ", 0), 0u) << line;
    EXPECT_EQ(std::ranges::count(line, '\n'), 1) << line;
}

#endif

}  // namespace
