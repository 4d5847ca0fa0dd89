#include <SDL3/SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/SteppedGame.h"
#include "app/VideoDriverChoice.h"

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
        held += std::int64_t(malloc_usable_size(p)) - std::int64_t(malloc_usable_size(old));
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
constexpr const char* kAssets[] = {"ship-a1.png",   "ship-a2.png",       "ship-a3.png",
                                   "ship-a4.png",   "ship-a5.png",       "ship-a6.png",
                                   "big-a.png",     "med-a.png",         "small-a.png",
                                   "bullet-b1.png", "explosions-a5.png", "Retro.ttf"};
constexpr std::string_view kFont = "Retro.ttf";
constexpr int kFrames = 30;
// A hang fails the test instead of stalling the suite.
constexpr unsigned kWatchdogSeconds = 60;
// Beyond what the intact game takes: the surface of one sprite sheet, with room to spare.
constexpr std::int64_t kSlackBytes = 4 << 20;
// Beyond the intact game's start-up and slowest frame: far below what a stall costs.
constexpr double kStallSeconds = 0.5;
// The only lines the game itself writes on standard error while it runs.
constexpr std::string_view kTextLine = "Couldn't create text: ";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
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
    char folder[] = "/tmp/voidrocks-hostile-XXXXXX";
    EXPECT_NE(mkdtemp(folder), nullptr);
    fs::copy(home / "Assets", fs::path(folder) / "Assets");
    fs::current_path(folder);
    damage(fs::path("Assets"));
    alarm(kWatchdogSeconds);
    SdlHeap::Install();
    Outcome run;
    run.folder = folder;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    {
        const Clock::time_point start = Clock::now();
        SteppedGame game;
        run.startSeconds = SecondsSince(start);
        std::fflush(stdout);
        run.out = testing::internal::GetCapturedStdout();
        run.heapRise = SdlHeap::peak - SdlHeap::held;
        run.fontOpen = game.Platform().font != nullptr;
        run.sprites = game.Platform().sprites.size();
        SDL_SetWindowSize(game.Platform().window, 192, 108);
        bool running = true;
        for (int i = 0; i < kFrames && running; ++i) {
            const Clock::time_point frame = Clock::now();
            running = game.Step();
            run.slowestFrameSeconds = std::max(run.slowestFrameSeconds, SecondsSince(frame));
        }
        SDL_Event quit{.type = SDL_EVENT_QUIT};
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

// Damages the file; returns whether the game can still read it.
bool Damaged(const fs::path& file, Damage how) {
    std::vector<char> bytes = Bytes(file);
    fs::remove(file);
    if (how == Damage::Directory) {
        fs::create_directory(file);
    }
    if (how == Damage::Pipe) {
        // Opening it would wait for a writer for good.
        EXPECT_EQ(mkfifo(file.c_str(), 0600), 0);
    }
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
    if (how == Damage::Unreadable) {
        fs::permissions(file, fs::perms::none);
    }
    // Permissions do not stop every user (root reads anything).
    return ::access(file.c_str(), R_OK) == 0;
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
                         testing::Combine(testing::ValuesIn(kAssets),
                                          testing::Values(Damage::Missing, Damage::Empty,
                                                          Damage::Truncated, Damage::Random,
                                                          Damage::OnePixelPng, Damage::Directory,
                                                          Damage::Unreadable, Damage::Pipe)),
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
                          fs::copy_file(entry.path(), assets / asset,
                                        fs::copy_options::overwrite_existing);
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
    // The working folder, then the executable's, which has no Assets either.
    const std::size_t at = run.err.find("No Assets folder in " + run.folder + " or ");
    EXPECT_EQ(at, 0u) << run.err;
    EXPECT_EQ(run.err.find(run.folder, at + 21), std::string::npos) << run.err;
}

// Messages to a closed pipe are lost; the game is not killed by the signal.
TEST(HostileAsset, AClosedPipeOnStandardOutputAndErrorDoesNotEndTheGame) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
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

std::uint32_t BigEndian32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}

void PutBigEndian(std::vector<char>& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * (size - 1 - i)));
    }
}

// The game's font with its head table claiming `units` per em, and the table's checksum fixed:
// every glyph grows by 1536 / units at the same point size.
std::vector<char> FontWithUnitsPerEm(std::vector<char> font, std::uint16_t units) {
    const std::size_t tables = std::uint16_t(BigEndian32(font.data() + 4) >> 16);
    for (std::size_t i = 0; i < tables; ++i) {
        const std::size_t entry = 12 + 16 * i;
        if (std::string_view(font.data() + entry, 4) != "head") {
            continue;
        }
        const std::size_t at = BigEndian32(font.data() + entry + 8);
        const std::size_t length = BigEndian32(font.data() + entry + 12);
        PutBigEndian(font, at + 18, units, 2);
        std::uint32_t sum = 0;
        for (std::size_t word = 0; word < length; word += 4) {
            // The whole-font adjustment (bytes 8 to 11) counts as zero.
            std::vector<char> four(4, 0);
            for (std::size_t b = 0; b < 4 && word + b < length; ++b) {
                four[b] = word == 8 ? 0 : font[at + word + b];
            }
            sum += BigEndian32(four.data());
        }
        PutBigEndian(font, entry + 4, sum, 4);
    }
    return font;
}

// At 48 points with 16, 32 or 64 units per em the texts cost gigabytes and seconds a frame;
// the font is refused as the canvas-sized texts are measured, and the game plays on without it.
TEST(HostileAsset, AFontWhoseTextsWouldNotFitTheCanvasIsRefused) {
    for (const std::uint16_t units : {16, 32, 64}) {
        SCOPED_TRACE(units);
        const Outcome run = Play([&](const fs::path& assets) {
            const std::vector<char> font = FontWithUnitsPerEm(Bytes(assets / kFont), units);
            std::ofstream(assets / kFont, std::ios::binary | std::ios::trunc)
                .write(font.data(), static_cast<std::streamsize>(font.size()));
        });
        ExpectOutcome(run, std::string(kFont), false);
        const std::string prefix =
            "Unable to load font Assets/Retro.ttf! SDL_ttf Error: \"Press "
            "UP, DOWN, LEFT, RIGHT to fly.\" would be ";
        EXPECT_EQ(run.out.rfind(prefix, 0), 0u) << run.out;
        EXPECT_TRUE(run.out.ends_with(" pixels, larger than the 1920 x 1080 canvas\n")) << run.out;
    }
}

// A 1024 x 1024 image whose data goes on inflating, as zeros, to about `gigabytes` GB: made of
// one flushed run of zeros repeated, so that it takes milliseconds to make.
std::vector<char> CompressionBomb(int gigabytes) {
    constexpr std::size_t kRowBytes = 1 + 1024 * 4, kRun = std::size_t{1} << 20;
    std::vector<char> zeros(kRun, 0), run(kRun), rows(kRun * 5);
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
    std::vector<char> data;
    for (int i = 0; i < 4; ++i) {  // the rows the header declares, 4 MB of zeros
        flush(1024 * kRowBytes / 4, rows);
        data.insert(data.end(), rows.begin(), rows.end());
        rows.resize(kRun * 5);
    }
    flush(kRun, run);
    deflateEnd(&z);
    const std::size_t runs = std::size_t(gigabytes) << 10;
    for (std::size_t i = 0; i < runs; ++i) {
        data.insert(data.end(), run.begin(), run.end());
    }
    // An empty last block, and the checksum of every zero inflated.
    const uLong ones = adler32(0, nullptr, 0);
    uLong sum = adler32_z(ones, reinterpret_cast<const Bytef*>(zeros.data()), 1024 * kRowBytes);
    const uLong perRun = adler32_z(ones, reinterpret_cast<const Bytef*>(zeros.data()), kRun);
    for (std::size_t i = 0; i < runs; ++i) {
        sum = adler32_combine(sum, perRun, kRun);
    }
    for (const char c : std::string_view("\x01\x00\x00\xff\xff", 5)) {
        data.push_back(c);
    }
    data.resize(data.size() + 4);
    PutBigEndian(data, data.size() - 4, sum, 4);

    std::vector<char> png = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
    const auto chunk = [&](std::string_view type, const std::vector<char>& body) {
        const std::size_t at = png.size();
        png.resize(at + 8);
        PutBigEndian(png, at, body.size(), 4);
        std::copy(type.begin(), type.end(), png.begin() + at + 4);
        png.insert(png.end(), body.begin(), body.end());
        png.resize(png.size() + 4);
        const uLong crc =
            crc32_z(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), body.size() + 4);
        PutBigEndian(png, png.size() - 4, crc, 4);
    };
    std::vector<char> header(13, 0);
    PutBigEndian(header, 0, 1024, 4);
    PutBigEndian(header, 4, 1024, 4);
    header[8] = 8;  // bits per channel
    header[9] = 6;  // red, green, blue, alpha
    chunk("IHDR", header);
    chunk("IDAT", data);
    chunk("IEND", {});
    return png;
}

// A 1 MB file that inflated to 1 GB held start-up for seconds; now the inflating stops just past
// the 4 MB the header declares.
TEST(HostileAsset, ACompressionBombIsRefusedWithoutStallingStartUp) {
    const std::vector<char> bomb = CompressionBomb(1);
    EXPECT_LT(bomb.size(), std::size_t{2} << 20);
    const Outcome run = Play([&](const fs::path& assets) {
        std::ofstream(assets / "ship-a1.png", std::ios::binary | std::ios::trunc)
            .write(bomb.data(), static_cast<std::streamsize>(bomb.size()));
    });
    ExpectOutcome(run, "ship-a1.png", false);
    EXPECT_EQ(run.out,
              "Unable to load image Assets/ship-a1.png! SDL_image Error: PNG image data inflates "
              "beyond the 4195328 bytes its header declares\n");
    EXPECT_EQ(run.err, "");
}

// The same bomb's data cut off halfway is refused as cut short, before libpng sees it.
TEST(HostileAsset, ImageDataCutShortIsRefused) {
    std::vector<char> png = CompressionBomb(0);
    const std::size_t data = 8 + 25 + 8;  // signature, IHDR, IDAT's length and type
    const std::size_t length = BigEndian32(png.data() + data - 8), kept = length / 2;
    png.erase(png.begin() + data + kept, png.begin() + data + length);
    PutBigEndian(png, data - 8, kept, 4);
    PutBigEndian(png, data + kept,
                 crc32_z(0, reinterpret_cast<const Bytef*>(png.data() + data - 4), kept + 4), 4);
    const Outcome run = Play([&](const fs::path& assets) {
        std::ofstream(assets / "big-a.png", std::ios::binary | std::ios::trunc)
            .write(png.data(), static_cast<std::streamsize>(png.size()));
    });
    ExpectOutcome(run, "big-a.png", false);
    EXPECT_EQ(run.out,
              "Unable to load image Assets/big-a.png! SDL_image Error: PNG image data is cut "
              "short\n");
}

bool IsNullDevice(int descriptor) {
    struct stat null {
    }, open{};
    return ::stat("/dev/null", &null) == 0 && ::fstat(descriptor, &open) == 0 &&
           S_ISCHR(open.st_mode) && open.st_rdev == null.st_rdev;
}

// Started with all three standard streams closed, the game's first descriptors would take their
// numbers: on X11 the display connection became standard error, the first message went into it
// and the game hung. A socket opened after start-up stands in for that connection here.
TEST(HostileAsset, ClosedStandardStreamsAreReopenedSoNoLaterDescriptorTakesTheirNumbers) {
    std::fflush(stdout);
    const int saved[] = {dup(STDIN_FILENO), dup(STDOUT_FILENO), dup(STDERR_FILENO)};
    for (int stream = 0; stream < 3; ++stream) {
        ::close(stream);
    }
    bool reopened = false, numbered = false, ended = false;
    char written = 0;
    ssize_t leaked = 0;
    {
        SteppedGame game;
        reopened = IsNullDevice(STDIN_FILENO) && IsNullDevice(STDOUT_FILENO) &&
                   IsNullDevice(STDERR_FILENO);
        int connection[2] = {-1, -1};
        numbered = socketpair(AF_UNIX, SOCK_STREAM, 0, connection) == 0 && connection[0] > 2 &&
                   connection[1] > 2;
        TTF_Font* font = std::exchange(game.Platform().font, nullptr);  // every text fails
        for (int i = 0; i < 3; ++i) {
            game.Step();
        }
        game.Platform().font = font;
        SDL_Event quit{.type = SDL_EVENT_QUIT};
        SDL_PushEvent(&quit);
        ended = !game.Step();
        for (const int end : connection) {
            leaked += end > 2 ? 0 : 1;
        }
        leaked += std::max<ssize_t>(0, recv(connection[1], &written, 1, MSG_DONTWAIT));
        ::close(connection[0]);
        ::close(connection[1]);
    }
    for (int stream = 0; stream < 3; ++stream) {
        dup2(saved[stream], stream);
        ::close(saved[stream]);
    }
    EXPECT_TRUE(reopened);
    EXPECT_TRUE(numbered);
    EXPECT_EQ(leaked, 0);
    EXPECT_TRUE(ended);
}

// Started from a folder without Assets, the game uses the Assets beside its executable and is
// a whole game; a working folder with Assets still wins; with neither, both folders are named.
TEST(HostileAsset, WithoutAssetsInTheWorkingFolderTheExecutablesFolderIsUsed) {
    const fs::path home = fs::current_path();
    char made[] = "/tmp/voidrocks-beside-XXXXXX";
    ASSERT_NE(mkdtemp(made), nullptr);
    const fs::path root = made, elsewhere = root / "elsewhere", beside = root / "game";
    fs::create_directories(elsewhere);
    fs::create_directories(beside);
    fs::copy(home / "Assets", beside / "Assets");
    fs::current_path(elsewhere);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool found = FindAssetsFolder(beside);
    const fs::path used = fs::current_path();
    std::size_t loaded = 0;
    bool fontOpen = false;
    {
        SteppedGame game;
        for (const auto& [name, sprite] : game.Platform().sprites) {
            loaded += sprite.texture != nullptr ? 1 : 0;
        }
        fontOpen = game.Platform().font != nullptr;
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
    fs::remove_all(root);
    EXPECT_TRUE(found);
    EXPECT_EQ(used, beside);
    EXPECT_EQ(loaded, 11u);
    EXPECT_TRUE(fontOpen);
    EXPECT_TRUE(kept);
    EXPECT_FALSE(none);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "No Assets folder in " + elsewhere.string() + " or " + beside.string() +
                       ": images and font cannot be loaded\n");
}

TEST(VideoDriverChoice, WaylandIsReachableOnlyThroughASocketOrAnAbsolutePath) {
    EXPECT_FALSE(WaylandReachable(nullptr, nullptr, nullptr));
    EXPECT_FALSE(WaylandReachable(nullptr, "wayland-0", "run/user/1000"));
    EXPECT_TRUE(WaylandReachable("3", nullptr, nullptr));
    EXPECT_TRUE(WaylandReachable(nullptr, "/run/user/1000/wayland-0", nullptr));
    EXPECT_TRUE(WaylandReachable(nullptr, nullptr, "/run/user/1000"));
}

// Over ssh without a display: the game's one line, not libwayland's complaints before it.
TEST(VideoDriverChoice, WithoutAnyDisplayTheGameSaysSoInOneLine) {
    std::vector<std::string> kept;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry = *variable;
        const std::string_view name = entry.substr(0, entry.find('='));
        if (name != "SDL_VIDEO_DRIVER" && name != "DISPLAY" && !name.starts_with("WAYLAND_") &&
            name != "XDG_RUNTIME_DIR") {
            kept.emplace_back(entry);
        }
    }
    std::vector<char*> env;
    for (std::string& entry : kept) {
        env.push_back(entry.data());
    }
    env.push_back(nullptr);
    const fs::path err = fs::temp_directory_path() / "voidrocks-no-display-err.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char program[] = VOIDROCKS_EXECUTABLE;
    char* argv[] = {program, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, program, &actions, nullptr, argv, env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    alarm(kWatchdogSeconds);
    int status = 0;
    waitpid(child, &status, 0);
    alarm(0);
    std::ifstream in(err);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    fs::remove(err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(text.rfind("Voidrocks cannot start: cannot start SDL video: ", 0), 0u) << text;
    EXPECT_EQ(std::ranges::count(text, '\n'), 1) << text;
}

}  // namespace
