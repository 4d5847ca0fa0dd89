// Plays whole games back to back through the stepped driver with a seeded random player and
// checks the game's bookkeeping after every frame. Each game is restarted through the game's
// scene switch, so the scene's reset runs between games.
//
//   voidrocks_soak [--frames N] [--first-seed S]   at least N frames, games seeded S, S+1, ...
//   voidrocks_soak --seed S                         replays the one game of seed S
//
// Exits 1 when any check failed; each failing game prints its seed.

#include <SDL3/SDL.h>
#include <SDL3_ttf/SDL_ttf.h>
#include <dlfcn.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <random>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "driver/SteppedGame.h"
#include "game/Components.h"
#include "render/SpriteCache.h"
#include "tools/soak/Invariants.h"

namespace {

std::int64_t gTexturesMade = 0;
std::int64_t gTexturesDestroyed = 0;
// Only text textures are counted: the sprite cache of the software renderer makes and drops
// textures of its own. A text texture is one made from a surface the font rendered.
std::unordered_set<const SDL_Surface*> gTextSurfaces;
std::unordered_set<const SDL_Texture*> gTextTextures;

constexpr std::int64_t kDefaultFrames = 200000;
// A player who dodges for this long has made the point; the game is counted and left.
constexpr std::int64_t kMaxGameFrames = 100000;
// Heap allowed above what the first game left, measured at the same point after every game:
// a fresh scene, no text textures, the sprite cache emptied. The same for any number of games,
// so that a leak of 16 bytes a frame (3.2 MB in 200,000 frames) outgrows it within the soak.
constexpr long long kHeapSlackBytes = 512 << 10;
constexpr int kMaxFailuresShown = 10;
// Chances per frame, out of 1000.
constexpr int kChangeKeysPerMille = 60;
constexpr int kFullScreenPerMille = 1;

long long HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Holds keys for a while and lets go, as a restless player would; now and then F11.
class RandomPlayer {
  public:
    explicit RandomPlayer(unsigned seed) : rng(seed) {}

    void Press(SteppedGame& game) {
        if (Chance(kChangeKeysPerMille)) {
            for (SDL_Scancode key :
                 {SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT,
                  SDL_SCANCODE_W, SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D}) {
                game.keys[key] = Chance(150);
            }
        }
        // Fire needs a fresh press: tap it often.
        game.keys[SDL_SCANCODE_SPACE] = Chance(300);
        if (Chance(kFullScreenPerMille)) {
            SDL_Event event{};
            event.type = SDL_EVENT_KEY_DOWN;
            event.key.scancode = SDL_SCANCODE_F11;
            event.key.down = true;
            SDL_PushEvent(&event);
        }
    }

  private:
    bool Chance(int perMille) { return std::uniform_int_distribution<int>(0, 999)(rng) < perMille; }
    std::mt19937 rng;
};

// Text textures the finished game still holds go with the renderer in the real program; here
// they are released before the next game, so that games do not pile them up.
void ReleaseTextTextures(World& world) {
    for (const Entity& e : *world.GetEntities<TextRenderer>()) {
        TextRenderer& label = e.GetComponent<TextRenderer>();
        if (label.texture != nullptr) {
            SDL_DestroyTexture(label.texture);
            label.texture = nullptr;
        }
    }
}

// Starts the next game and measures the heap in use there. Text textures the finished game
// still holds are released first (in the real program they go with the renderer), and the
// sprite cache lets go of its images, whose number depends on the angles each game happened
// to draw. Zero when the allocator cannot say (under the sanitizers).
long long RestartAndMeasureHeap(SteppedGame& game) {
    ReleaseTextTextures(game.GameScene().world);
    game.Restart();
    if (SpriteCache* cache = SpriteCache::For(game.Platform().renderer)) {
        cache->Clear();
    }
    return HeapInUse();
}

struct GameResult {
    std::int64_t frames = 0;
    int failedFrames = 0;
};

GameResult PlayOne(SteppedGame& game, unsigned seed, Invariants& checks) {
    std::srand(seed);
    RandomPlayer player(seed);
    checks.StartGame(gTexturesMade, gTexturesDestroyed);
    GameResult result;
    bool running = true;
    while (running && checks.frame < kMaxGameFrames) {
        player.Press(game);
        try {
            running = game.Step();
        } catch (const std::exception& error) {
            // The core refuses broken bookkeeping by throwing; the game cannot go on.
            std::printf("seed %u: frame %lld threw: %s\n", seed,
                        static_cast<long long>(checks.frame + 1), error.what());
            ++result.failedFrames;
            break;
        }
        const std::vector<std::string> failures =
            checks.AfterFrame(game.GameScene().world, !running, gTexturesMade, gTexturesDestroyed);
        if (!failures.empty() && ++result.failedFrames <= kMaxFailuresShown) {
            for (const std::string& f : failures) {
                std::printf("seed %u: %s\n", seed, f.c_str());
            }
        }
    }
    result.frames = checks.frame;
    return result;
}

}  // namespace

// Counted here, the executable's own definitions take the game's calls before SDL does.
extern "C" SDL_Surface* TTF_RenderText_Blended(TTF_Font* font, const char* text, size_t length,
                                               SDL_Color colour) {
    using Real = SDL_Surface* (*)(TTF_Font*, const char*, size_t, SDL_Color);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, __func__));
    SDL_Surface* surface = real(font, text, length, colour);
    if (surface != nullptr) {
        gTextSurfaces.insert(surface);
    }
    return surface;
}

extern "C" SDL_Texture* SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface) {
    using Real = SDL_Texture* (*)(SDL_Renderer*, SDL_Surface*);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, __func__));
    SDL_Texture* texture = real(renderer, surface);
    if (gTextSurfaces.erase(surface) != 0 && texture != nullptr) {
        gTextTextures.insert(texture);
        ++gTexturesMade;
    }
    return texture;
}

// On the software renderer a text's texture is made empty, then filled from its surface.
extern "C" bool SDL_UpdateTexture(SDL_Texture* texture, const SDL_Rect* rect, const void* pixels,
                                  int pitch) {
    using Real = bool (*)(SDL_Texture*, const SDL_Rect*, const void*, int);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, __func__));
    const bool updated = real(texture, rect, pixels, pitch);
    for (auto surface = gTextSurfaces.begin(); surface != gTextSurfaces.end(); ++surface) {
        if ((*surface)->pixels == pixels) {
            gTextSurfaces.erase(surface);
            if (updated && gTextTextures.insert(texture).second) {
                ++gTexturesMade;
            }
            break;
        }
    }
    return updated;
}

extern "C" void SDL_DestroyTexture(SDL_Texture* texture) {
    using Real = void (*)(SDL_Texture*);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, __func__));
    gTexturesDestroyed += gTextTextures.erase(texture);
    real(texture);
}

int main(int argc, char** argv) {
    std::int64_t minFrames = kDefaultFrames;
    unsigned firstSeed = 1;
    bool replay = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--frames") {
            minFrames = std::atoll(argv[i + 1]);
        } else if (flag == "--first-seed" || flag == "--seed") {
            firstSeed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
            replay = flag == "--seed";
        } else {
            std::fprintf(stderr, "unknown option %s\n", flag.c_str());
            return 2;
        }
    }
    SteppedGame game;
    // The canvas stays 1920 x 1080; a small window keeps presenting cheap.
    SDL_SetWindowSize(game.Platform().window, 192, 108);
    Invariants checks;
    std::int64_t frames = 0;
    int games = 0, failedGames = 0;
    // The heap after the first game in each window size (F11 switches between two, and the
    // window's pixels are on the heap), and the most it rose above that after a later one.
    std::map<std::pair<int, int>, long long> heapFirst;
    long long heapRise = 0;
    int heapCompared = 0;
    bool heapMeasured = true;
    for (unsigned seed = firstSeed; replay ? games < 1 : frames < minFrames; ++seed) {
        const GameResult result = PlayOne(game, seed, checks);
        frames += result.frames;
        ++games;
        if (result.failedFrames > 0) {
            ++failedGames;
            std::printf("seed %u FAILED in %d of %lld frames (replay: --seed %u)\n", seed,
                        result.failedFrames, static_cast<long long>(result.frames), seed);
        }
        const long long heap = RestartAndMeasureHeap(game);
        heapMeasured = heapMeasured && heap > 0;
        std::pair<int, int> size;
        SDL_GetWindowSizeInPixels(game.Platform().window, &size.first, &size.second);
        const auto [first, isFirst] = heapFirst.try_emplace(size, heap);
        if (!isFirst) {
            heapRise = heapCompared++ == 0 ? heap - first->second
                                           : std::max(heapRise, heap - first->second);
        }
        std::printf(
            "game %d seed %u: %lld frames, ship hit at %lld, heap %lld bytes (window %d x "
            "%d)\n",
            games, seed, static_cast<long long>(result.frames),
            static_cast<long long>(checks.hitFrame), heap, size.first, size.second);
        std::fflush(stdout);
    }
    // One game has nothing to compare with; the sanitizers' allocator reports nothing.
    const bool judged = heapMeasured && heapCompared > 0;
    const bool heapFlat = !judged || heapRise <= kHeapSlackBytes;
    std::printf("%d games, %lld frames, %d failed; heap after each game ", games,
                static_cast<long long>(frames), failedGames);
    if (judged) {
        std::printf(
            "at most %+lld bytes from the first in the same window size over %d games, "
            "slack %lld (%s)\n",
            heapRise, heapCompared, kHeapSlackBytes, heapFlat ? "flat" : "GROWING");
    } else {
        std::printf("not measured (%s)\n", heapMeasured ? "no two games in the same window size"
                                                        : "the allocator does not report it");
    }
    return failedGames == 0 && heapFlat ? 0 : 1;
}
