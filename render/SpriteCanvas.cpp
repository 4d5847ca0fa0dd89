#include "render/SpriteCanvas.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/Canvas.h"

namespace {

constexpr const char* kCanvasProperty = "voidrocks.sprite_canvas";

bool SameColour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

std::int64_t AreaOf(const std::vector<SDL_Rect>& rects) {
    std::int64_t area = 0;
    for (const SDL_Rect& r : rects) {
        area += static_cast<std::int64_t>(r.w) * r.h;
    }
    return area;
}

constexpr int kPixelsPerWord = 64;
static_assert(kCanvasWidth % kPixelsPerWord == 0, "a canvas row is whole words");
constexpr int kWordsPerRow = kCanvasWidth / kPixelsPerWord;
constexpr std::size_t kCoverageWords = static_cast<std::size_t>(kWordsPerRow) * kCanvasHeight;

static_assert(kWordsPerRow <= 32, "a row's full words fit one mask");

// The mask of the words of a row that hold pixels [left, right), right > left.
std::uint32_t WordsOf(int left, int right) {
    const int first = left / kPixelsPerWord;
    const int last = (right - 1) / kPixelsPerWord;
    return ((std::uint32_t{2} << last) - 1) & ~((std::uint32_t{1} << first) - 1);
}

// Joins the stretches of set bits of consecutive words of a row into stretches of pixels
// [start, end), so that each is copied or filled in one go.
class Stretches {
  public:
    template <typename Use>
    void Add(int firstPixel, std::uint64_t bits, Use& use) {
        while (bits != 0) {
            const int from = std::countr_zero(bits);
            const int to = from + std::countr_one(bits >> from);
            if (firstPixel + from == end) {
                end = firstPixel + to;
            } else {
                Flush(use);
                start = firstPixel + from;
                end = firstPixel + to;
            }
            bits = to == kPixelsPerWord ? 0 : bits & (~std::uint64_t{0} << to);
        }
    }
    template <typename Use>
    void Flush(Use& use) {
        if (start < end) {
            use(start, end);
        }
        start = end = -1;
    }

  private:
    int start = -1;
    int end = -1;
};

// The bits of pixels [left, right) of one word, which holds pixels from firstPixel on.
std::uint64_t BitsOf(int left, int right, int firstPixel) {
    const int from = std::max(left, firstPixel) - firstPixel;
    const int to = std::min(right, firstPixel + kPixelsPerWord) - firstPixel;
    const std::uint64_t below =
        to == kPixelsPerWord ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1;
    return below & ~((std::uint64_t{1} << from) - 1);
}

constexpr std::int64_t kCanvasArea = static_cast<std::int64_t>(kCanvasWidth) * kCanvasHeight;

SDL_FRect AsFRect(const SDL_Rect& r) {
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.w),
            static_cast<float>(r.h)};
}

// Clipped to the canvas; false when nothing of it is on it.
bool OnCanvas(const SDL_Rect& where, SDL_Rect& clipped) {
    const SDL_Rect whole{0, 0, kCanvasWidth, kCanvasHeight};
    return SDL_GetRectIntersection(&where, &whole, &clipped);
}

}  // namespace

// Called when the renderer goes: its textures went just before.
void DropSpriteCanvas(void*, void* value) {
    auto* canvas = static_cast<SpriteCanvas*>(value);
    canvas->ownsTexture = false;
    delete canvas;
}

SpriteCanvas::SpriteCanvas(SDL_Renderer* renderer, SDL_Texture* texture)
    : renderer(renderer),
      texture(texture),
      covered(kCoverageWords),
      coveredBefore(kCoverageWords),
      fullWords(kCanvasHeight) {
    // Every pixel of it is opaque and replaces what was on the canvas.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    SDL_AddEventWatch(WatchWindow, this);
}

bool SDLCALL SpriteCanvas::WatchWindow(void* canvas, SDL_Event* event) {
    if (event->type >= SDL_EVENT_WINDOW_FIRST && event->type <= SDL_EVENT_WINDOW_LAST) {
        static_cast<SpriteCanvas*>(canvas)->wholePresent = true;
    }
    return true;
}

SpriteCanvas::~SpriteCanvas() {
    SDL_RemoveEventWatch(WatchWindow, this);
    if (ownsTexture) {
        SDL_DestroyTexture(texture);
    }
}

SpriteCanvas* SpriteCanvas::Find(SDL_Renderer* renderer) {
    return static_cast<SpriteCanvas*>(
        SDL_GetPointerProperty(SDL_GetRendererProperties(renderer), kCanvasProperty, nullptr));
}

SpriteCanvas* SpriteCanvas::For(SDL_Renderer* renderer, SDL_PixelFormat format) {
    if (!DrawsInSoftware(renderer) || !SpriteCache::CopiesInto(format)) {
        return nullptr;
    }
    const SDL_PropertiesID props = SDL_GetRendererProperties(renderer);
    SpriteCanvas* canvas = Find(renderer);
    if (canvas == nullptr) {
        SDL_Texture* texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING,
                                                 kCanvasWidth, kCanvasHeight);
        if (texture == nullptr) {
            return nullptr;
        }
        canvas = new SpriteCanvas(renderer, texture);
        if (!SDL_SetPointerPropertyWithCleanup(props, kCanvasProperty, canvas, DropSpriteCanvas,
                                               nullptr)) {
            return nullptr;  // the cleanup has already deleted it
        }
    }
    return canvas;
}

bool SpriteCanvas::Begin(SDL_Color colour) {
    if (locked == nullptr && !SDL_LockTextureToSurface(texture, nullptr, &locked)) {
        locked = nullptr;
        return false;
    }
    if (!SameColour(colour, background)) {
        wholeDirty = true;
    }
    background = colour;
    pass.clear();
    drawnBefore.swap(drawn);
    drawn.clear();
    return true;
}

void SpriteCanvas::Add(const SpriteCache::Image* image, const SDL_FRect& destination) {
    if (image == nullptr) {
        return;
    }
    const SDL_Rect at = image->At(destination);
    SDL_Rect clipped;
    if (OnCanvas(at, clipped)) {
        pass.push_back({image, at});
        drawn.push_back(clipped);
    }
}

bool SpriteCanvas::DrawTopFirst() {
    for (const Placed& placed : pass) {
        if (placed.image->translucent) {
            return false;
        }
    }
    std::fill(covered.begin(), covered.end(), 0);
    std::fill(fullWords.begin(), fullWords.end(), 0);
    auto* canvasPixels = static_cast<Uint8*>(locked->pixels);
    for (auto placed = pass.rbegin(); placed != pass.rend(); ++placed) {
        const SpriteCache::Image& image = *placed->image;
        const SDL_Rect& at = placed->at;
        // On a crowded canvas most sprites lie wholly under others: a look at one mask per
        // row finds them.
        const int top = std::max(at.y, 0);
        const int bottom = std::min(at.y + at.h, kCanvasHeight);
        const std::uint32_t across =
            WordsOf(std::max(at.x, 0), std::min(at.x + at.w, kCanvasWidth));
        int y = top;
        while (y < bottom && (fullWords[static_cast<std::size_t>(y)] & across) == across) {
            ++y;
        }
        if (y == bottom) {
            continue;
        }
        const auto* imagePixels = static_cast<const Uint8*>(image.pixels->pixels);
        for (const SpriteCache::Run& run : image.runs) {
            y = at.y + run.y;
            if (y < 0) {
                continue;
            }
            if (y >= kCanvasHeight) {
                break;
            }
            const int left = std::max(at.x + run.x, 0);
            const int right = std::min(at.x + run.x + run.length, kCanvasWidth);
            if (left >= right) {
                continue;
            }
            std::uint32_t& full = fullWords[static_cast<std::size_t>(y)];
            const std::uint32_t words = WordsOf(left, right);
            if ((full & words) == words) {
                continue;
            }
            auto* to = reinterpret_cast<Uint32*>(canvasPixels +
                                                 static_cast<std::ptrdiff_t>(y) * locked->pitch);
            const auto* from = reinterpret_cast<const Uint32*>(
                imagePixels + static_cast<std::ptrdiff_t>(run.y) * image.pixels->pitch);
            auto copy = [&](int start, int end) {
                std::memcpy(to + start, from + (start - at.x),
                            static_cast<std::size_t>(end - start) * sizeof(Uint32));
            };
            // Only what no sprite above has drawn: often all of it, in one copy.
            std::uint64_t* row = &covered[static_cast<std::size_t>(y) * kWordsPerRow];
            const int firstWord = left / kPixelsPerWord;
            const int lastWord = (right - 1) / kPixelsPerWord;
            std::uint64_t overlap = 0;
            for (int word = firstWord; word <= lastWord; ++word) {
                overlap |= row[word] & BitsOf(left, right, word * kPixelsPerWord);
            }
            Stretches open;
            for (int word = firstWord; word <= lastWord; ++word) {
                const std::uint64_t bits = BitsOf(left, right, word * kPixelsPerWord);
                if (overlap != 0) {
                    open.Add(word * kPixelsPerWord, bits & ~row[word], copy);
                }
                row[word] |= bits;
                if (row[word] == ~std::uint64_t{0}) {
                    full |= std::uint32_t{1} << word;
                }
            }
            if (overlap == 0) {
                copy(left, right);
            } else {
                open.Flush(copy);
            }
        }
    }
    return true;
}

void SpriteCanvas::UncoverBackground(Uint32 colour) {
    auto* canvasPixels = static_cast<Uint8*>(locked->pixels);
    for (int y = 0; y < kCanvasHeight; ++y) {
        auto* to = reinterpret_cast<Uint32*>(canvasPixels +
                                             static_cast<std::ptrdiff_t>(y) * locked->pitch);
        auto fill = [&](int start, int end) { std::fill(to + start, to + end, colour); };
        const std::size_t first = static_cast<std::size_t>(y) * kWordsPerRow;
        Stretches uncovered;
        for (int word = 0; word < kWordsPerRow; ++word) {
            const std::uint64_t before =
                wholeDirty ? ~std::uint64_t{0} : coveredBefore[first + word];
            uncovered.Add(word * kPixelsPerWord, before & ~covered[first + word], fill);
        }
        uncovered.Flush(fill);
    }
}

void SpriteCanvas::End() {
    if (locked == nullptr) {
        return;
    }
    const Uint32 colour =
        SDL_MapSurfaceRGBA(locked, background.r, background.g, background.b, background.a);
    if (DrawTopFirst()) {
        UncoverBackground(colour);
        covered.swap(coveredBefore);
        wholePresent = wholePresent || wholeDirty;
        wholeDirty = false;
    } else {
        // Blended sprites need what lies under them: the whole canvas is drawn bottom up, and
        // what it covers is not known next frame.
        SDL_FillSurfaceRect(locked, nullptr, colour);
        for (const Placed& placed : pass) {
            placed.image->DrawOn(locked, placed.at);
        }
        wholePresent = true;
        wholeDirty = true;
    }
}

void SpriteCanvas::DrawText(SDL_Texture* text, const SDL_FRect& where) {
    SDL_Surface* pixels = nullptr;
    if (locked == nullptr || !SDL_LockTextureToSurface(text, nullptr, &pixels)) {
        return;
    }
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetTextureBlendMode(text, &mode);
    SDL_SetSurfaceBlendMode(pixels, mode);
    // Placed as the renderer places a copy: at the whole pixel its corner truncates to.
    const SDL_Rect at{static_cast<int>(where.x), static_cast<int>(where.y), pixels->w, pixels->h};
    SDL_Rect blitted = at;
    SDL_BlitSurface(pixels, nullptr, locked, &blitted);
    SDL_UnlockTexture(text);
    SDL_Rect clipped;
    if (OnCanvas(at, clipped)) {
        drawn.push_back(clipped);
        // Drawn over by this frame: given back to the background next frame unless a sprite
        // covers it then.
        for (int y = clipped.y; y < clipped.y + clipped.h; ++y) {
            std::uint64_t* row = &coveredBefore[static_cast<std::size_t>(y) * kWordsPerRow];
            const int right = clipped.x + clipped.w;
            for (int word = clipped.x / kPixelsPerWord; word <= (right - 1) / kPixelsPerWord;
                 ++word) {
                row[word] |= BitsOf(clipped.x, right, word * kPixelsPerWord);
            }
        }
    }
}

void SpriteCanvas::Present(const SDL_FRect& where) {
    if (locked != nullptr) {
        SDL_UnlockTexture(texture);
        locked = nullptr;
    }
    const bool ownSize = where.x == 0.0f && where.y == 0.0f &&
                         where.w == static_cast<float>(kCanvasWidth) &&
                         where.h == static_cast<float>(kCanvasHeight);
    // Elsewhere the window already holds what the canvas holds.
    if (!ownSize || wholePresent || AreaOf(drawn) + AreaOf(drawnBefore) >= kCanvasArea / 2) {
        SDL_RenderTexture(renderer, texture, nullptr, &where);
    } else {
        for (const std::vector<SDL_Rect>* rects : {&drawnBefore, &drawn}) {
            for (const SDL_Rect& r : *rects) {
                const SDL_FRect at = AsFRect(r);
                SDL_RenderTexture(renderer, texture, &at, &at);
            }
        }
    }
    wholePresent = false;
}

SDL_Surface* SpriteCanvas::Read() {
    if (locked != nullptr) {
        return SDL_DuplicateSurface(locked);
    }
    SDL_Surface* pixels = nullptr;
    if (!SDL_LockTextureToSurface(texture, nullptr, &pixels)) {
        return nullptr;
    }
    SDL_Surface* copy = SDL_DuplicateSurface(pixels);
    SDL_UnlockTexture(texture);
    return copy;
}
