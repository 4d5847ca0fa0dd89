#include <SDL3/SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/SteppedGame.h"
#include "platform/AssetFile.h"

// The real asset store and text system against broken, hostile and missing assets: each gives
// its one message (or none), and the game still runs its frames and ends normally.

namespace {

namespace fs = std::filesystem;

// The few operating system calls that POSIX and Windows spell differently come first.
// The bytes the C library's heap reserved for a block from malloc; 0 for none.
std::size_t HeapBlockBytes(void* block) {
    if (block == nullptr) {
        return 0;
    }
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

// A new, empty folder under the system's temporary folder, its name starting with `stem`.
fs::path MakeTempFolder(const std::string& stem) {
    const fs::path folder =
        fs::temp_directory_path() / (stem + std::to_string(std::random_device{}()));
    EXPECT_TRUE(fs::create_directory(folder)) << folder;  // false when the name is taken
    return folder;
}

// Whether the descriptor is open on the null device.
bool IsNullDevice(int descriptor) {
#ifdef _WIN32
    // NUL is a character device that, unlike a console, has no console mode.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR &&
           GetConsoleMode(handle, &mode) == 0;
#else
    struct stat null {
    }, open{};
    return ::stat("/dev/null", &null) == 0 && ::fstat(descriptor, &open) == 0 &&
           S_ISCHR(open.st_mode) && open.st_rdev == null.st_rdev;
#endif
}

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

// Neither Windows nor the browser's file layer has a pipe that lives at a file's path: a FIFO
// is a desktop POSIX system's alone.
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
#define VOIDROCKS_NO_FIFO 1
#endif
constexpr std::string_view kDamages[] = {"Missing",     "Empty",     "Truncated",  "Random",
                                         "OnePixelPng", "Directory", "Unreadable",
#ifndef VOIDROCKS_NO_FIFO
                                         "Pipe"
#endif
};
constexpr const char* kAssets[] = {"ship-a1.png",   "ship-a2.png",       "ship-a3.png",
                                   "ship-a4.png",   "ship-a5.png",       "ship-a6.png",
                                   "big-a.png",     "med-a.png",         "small-a.png",
                                   "bullet-b1.png", "explosions-a5.png", "Retro.ttf"};
constexpr std::string_view kFont = "Retro.ttf";
constexpr int kFrames = 30;
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

// Closes the window as a player would; whether the game ended then.
bool EndsOnQuit(SteppedGame& game) {
    SDL_Event quit{.type = SDL_EVENT_QUIT};
    SDL_PushEvent(&quit);
    return !game.Step();
}

// Three frames in which every text fails and says so on standard error, then a quit; `started`
// runs once the game has started. Whether the game ended.
bool EndsAfterFailedTexts(const std::function<void(SteppedGame&)>& started) {
    SteppedGame game;
    started(game);
    TTF_Font* font = std::exchange(game.Platform().font, nullptr);
    for (int i = 0; i < 3; ++i) {
        game.Step();
    }
    game.Platform().font = font;
    return EndsOnQuit(game);
}

// Plays kFrames frames of the real game in a copy of Assets that `damage` has altered, then
// closes the window. A hang is ended by the test's time limit.
template <typename F>
Outcome Play(F&& damage) {
    const fs::path home = fs::current_path();
    const fs::path folder = MakeTempFolder("voidrocks-hostile-");
    fs::copy(home / "Assets", folder / "Assets");
    fs::current_path(folder);
    damage(fs::path("Assets"));
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
        run.ended = running && EndsOnQuit(game);
    }
    run.err = testing::internal::GetCapturedStderr();
    fs::current_path(home);
    // Windows refuses to delete a read-only file: every entry is made writable first.
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    fs::remove_all(folder);
    return run;
}

void Write(const fs::path& file, const std::vector<char>& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Damages the file; returns whether the game can still read it.
bool Damaged(const fs::path& file, std::string_view how) {
    std::vector<char> bytes = Bytes(file);
    fs::remove(file);
    if (how == "Directory") {
        fs::create_directory(file);
    }
#ifndef VOIDROCKS_NO_FIFO
    if (how == "Pipe") {
        // Opening it would wait for a writer for good.
        EXPECT_EQ(mkfifo(file.c_str(), 0600), 0);
    }
#endif
    if (how == "Missing" || how == "Directory" || how == "Pipe") {
        return false;
    }
    if (how == "Empty" || how == "Truncated") {
        bytes.resize(how == "Empty" ? 0 : bytes.size() / 2);
    } else if (how == "Random") {
        std::mt19937 bits(static_cast<unsigned>(bytes.size()));
        std::ranges::generate(bytes, [&] { return static_cast<char>(bits()); });
    } else if (how == "OnePixelPng") {
        bytes = Bytes(fs::path(VOIDROCKS_HOSTILE_DIR) / "one-pixel.png");
    }
    Write(file, bytes);
    // On Windows this only marks the file read-only.
    if (how == "Unreadable") {
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
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with(kTextLine)) {
            return false;
        }
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

class HostileAsset : public testing::TestWithParam<std::tuple<const char*, std::string_view>> {};

TEST_P(HostileAsset, IsReportedOnceAndTheGameGoesOn) {
    const auto [asset, how] = GetParam();
    bool readable = false;
    const Outcome run =
        Play([&](const fs::path& assets) { readable = Damaged(assets / asset, how); });
    const bool loads =
        (how == "Unreadable" && readable) || (how == "OnePixelPng" && asset != kFont);
    ExpectOutcome(run, asset, loads);
}

INSTANTIATE_TEST_SUITE_P(EveryAsset, HostileAsset,
                         testing::Combine(testing::ValuesIn(kAssets), testing::ValuesIn(kDamages)),
                         // "ship_a1_png_Missing": the same name on every run.
                         [](const auto& info) {
                             std::string name = std::get<0>(info.param);
                             std::ranges::replace_if(
                                 name, [](unsigned char c) { return !std::isalnum(c); }, '_');
                             return name + "_" + std::string(std::get<1>(info.param));
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
        ExpectOutcome(run, asset, mayLoad && run.out.empty());  // libpng's own lines too
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
    int ends[2];  // ends[0] reads, ends[1] writes
#ifdef _WIN32
    constexpr unsigned kPipeBytes = 4096;
    ASSERT_EQ(_pipe(ends, kPipeBytes, _O_BINARY), 0);
#else
    ASSERT_EQ(pipe(ends), 0);
#endif
    ::close(ends[0]);
    std::fflush(stdout);
    const int saved[] = {dup(STDOUT_FILENO), dup(STDERR_FILENO)};
    dup2(ends[1], STDOUT_FILENO);
    dup2(ends[1], STDERR_FILENO);
    const bool ended = EndsAfterFailedTexts([](SteppedGame& game) {
        game.Platform().LoadTexture("Assets/no-such-image.png");
        std::fflush(stdout);
    });
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
// flushed run of raw deflate blocks repeated, so that it takes milliseconds to make.
std::vector<char> CompressionBomb() {
    constexpr std::size_t kRun = std::size_t{1} << 20;
    std::vector<char> zeros(kRun), run(kRun);
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(zeros.data());
    z.avail_in = kRun;
    z.next_out = reinterpret_cast<Bytef*>(run.data());
    z.avail_out = kRun;
    deflate(&z, Z_FULL_FLUSH);
    run.resize(kRun - z.avail_out);
    deflateEnd(&z);
    std::vector<char> png = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n', 0, 0, 0, 13};
    png.insert(png.end(), {'I', 'H', 'D', 'R', 0, 0, 4, 0, 0, 0, 4, 0, 8, 6, 0, 0, 0, 0, 0, 0, 0});
    png.insert(png.end(), {0, 0, 0, 0, 'I', 'D', 'A', 'T', '\x78', '\xda'});  // zlib's header
    const uLong runSum = adler32_z(1, reinterpret_cast<Bytef*>(zeros.data()), kRun);
    uLong sum = 1;  // the checksum of nothing
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
}

// A file is read in one piece of its own size, whatever the limit: one byte over the limit is
// refused, and a file at the limit is read whole, byte for byte.
TEST(HostileAsset, AFileOverItsLimitIsRefusedAndOneAtItIsReadWhole) {
    const fs::path file = MakeTempFolder("voidrocks-limit-") / "sheet.png";
    std::vector<char> bytes(70001);
    std::mt19937 bits(7);
    std::ranges::generate(bytes, [&] { return static_cast<char>(bits()); });
    Write(file, bytes);
    std::vector<std::uint8_t> read;
    EXPECT_TRUE(ReadAssetFile(file.string(), bytes.size(), read)) << SDL_GetError();
    EXPECT_TRUE(std::ranges::equal(read, bytes, {}, {}, [](char c) { return std::uint8_t(c); }));
    EXPECT_FALSE(ReadAssetFile(file.string(), bytes.size() - 1, read));
    EXPECT_EQ(std::string(SDL_GetError()).find("is larger than 70000 bytes"),
              file.string().size() + 1);
    fs::remove_all(file.parent_path());
}

// Started with the standard streams closed, the game's first descriptors took their numbers: on
// X11 the display connection became standard error, the first message went into it and the game
// hung. A file opened after start-up stands in for that connection.
TEST(HostileAsset, ClosedStandardStreamsAreReopenedSoNoLaterDescriptorTakesTheirNumbers) {
    const fs::path folder = MakeTempFolder("voidrocks-connection-");
    const std::string file = (folder / "connection").string();
    std::fflush(stdout);
    const int saved[] = {dup(STDIN_FILENO), dup(STDOUT_FILENO), dup(STDERR_FILENO)};
    for (int stream = 0; stream < 3; ++stream) {
        ::close(stream);
    }
    bool reopened = false;
    int connection = -1;
    const bool ended = EndsAfterFailedTexts([&](SteppedGame&) {
        reopened = IsNullDevice(0) && IsNullDevice(1) && IsNullDevice(2);
        connection = ::open(file.c_str(), O_CREAT | O_RDWR, 0600);
    });
    ::close(connection);
    for (int stream = 0; stream < 3; ++stream) {
        dup2(saved[stream], stream);
        ::close(saved[stream]);
    }
    EXPECT_TRUE(reopened);
    EXPECT_GT(connection, 2);
    EXPECT_EQ(fs::file_size(file), 0u);  // nothing written into the connection
    EXPECT_TRUE(ended);
    fs::remove_all(folder);
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
                                       [](const auto& s) { return s.second.texture != nullptr; }) +
                 (game.Platform().font != nullptr ? 1 : 0);
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

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// Over ssh without a display: the game's one line, not libwayland's complaints before it. (A
// Windows session always has its desktop, and a page its canvas.)
TEST(HostileAsset, WithoutAnyDisplayTheGameSaysSoInOneLine) {
    const fs::path err = fs::temp_directory_path() / "voidrocks-no-display-err.txt";
    const std::string command =
        "env -u SDL_VIDEO_DRIVER -u DISPLAY -u WAYLAND_DISPLAY -u "
        "WAYLAND_SOCKET -u XDG_RUNTIME_DIR " VOIDROCKS_EXECUTABLE " 2>" +
        err.string();
    const int status = std::system(command.c_str());
    const std::vector<char> text = Bytes(err);
    fs::remove(err);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    const std::string line(text.begin(), text.end());
    EXPECT_EQ(line.rfind("Voidrocks cannot start: cannot start SDL video: ", 0), 0u) << line;
    EXPECT_EQ(std::ranges::count(line, '\n'), 1) << line;
}

#endif

}  // namespace
