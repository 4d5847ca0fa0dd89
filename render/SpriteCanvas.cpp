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
    : renderer(renderer), texture(texture), covered(kCoverageWords), coveredBefore(kCoverageWords) {
    // Every pixel of it is opaque and replaces what was on the canvas.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
}

SpriteCanvas::~SpriteCanvas() {
    if (ownsTexture) {
        SDL_DestroyTexture(texture);
    }
}

SpriteCanvas* SpriteCanvas::Find(SDL_Renderer* renderer) {
    return static_cast<SpriteCanvas*>(
        SDL_GetPointerProperty(SDL_GetRendererProperties(renderer), kCanvasProperty, nullptr));
}

SpriteCanvas* SpriteCanvas::For(SDL_Renderer* renderer, const SDL_Texture* target) {
    const char* name = SDL_GetRendererName(renderer);
    if (name == nullptr || std::strcmp(name, SDL_SOFTWARE_RENDERER) != 0 || target == nullptr ||
        !SpriteCache::CopiesInto(target->format)) {
        return nullptr;
    }
    const SDL_PropertiesID props = SDL_GetRendererProperties(renderer);
    SpriteCanvas* canvas = Find(renderer);
    if (canvas == nullptr) {
        // In the target's own format, it is copied onto it row by row.
        SDL_Texture* texture = SDL_CreateTexture(
            renderer, target->format, SDL_TEXTUREACCESS_STREAMING, kCanvasWidth, kCanvasHeight);
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
    auto* canvasPixels = static_cast<Uint8*>(locked->pixels);
    for (auto placed = pass.rbegin(); placed != pass.rend(); ++placed) {
        const SpriteCache::Image& image = *placed->image;
        const SDL_Rect& at = placed->at;
        const auto* imagePixels = static_cast<const Uint8*>(image.pixels->pixels);
        for (const SpriteCache::Run& run : image.runs) {
            const int y = at.y + run.y;
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
            auto* to = reinterpret_cast<Uint32*>(canvasPixels +
                                                 static_cast<std::ptrdiff_t>(y) * locked->pitch);
            const auto* from = reinterpret_cast<const Uint32*>(
                imagePixels + static_cast<std::ptrdiff_t>(run.y) * image.pixels->pitch);
            auto copy = [&](int start, int end) {
                std::memcpy(to + start, from + (start - at.x),
                            static_cast<std::size_t>(end - start) * sizeof(Uint32));
            };
            // Only what no sprite above has drawn.
            std::uint64_t* row = &covered[static_cast<std::size_t>(y) * kWordsPerRow];
            Stretches open;
            for (int word = left / kPixelsPerWord; word <= (right - 1) / kPixelsPerWord; ++word) {
                const std::uint64_t bits = BitsOf(left, right, word * kPixelsPerWord);
                open.Add(word * kPixelsPerWord, bits & ~row[word], copy);
                row[word] |= bits;
            }
            open.Flush(copy);
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

void SpriteCanvas::DrewOver(const SDL_Rect& where) {
    SDL_Rect clipped;
    if (OnCanvas(where, clipped)) {
        drawnOver.push_back(clipped);
    }
}

void SpriteCanvas::End(SDL_Texture* target) {
    if (locked != nullptr) {
        const Uint32 colour =
            SDL_MapSurfaceRGBA(locked, background.r, background.g, background.b, background.a);
        if (DrawTopFirst()) {
            UncoverBackground(colour);
            covered.swap(coveredBefore);
            wholeCopy = wholeCopy || wholeDirty;
            wholeDirty = false;
        } else {
            // Blended sprites need what lies under them: the whole canvas is drawn bottom up,
            // and what it covers is not known next frame.
            SDL_FillSurfaceRect(locked, nullptr, colour);
            for (const Placed& placed : pass) {
                placed.image->DrawOn(locked, placed.at);
            }
            wholeCopy = true;
            wholeDirty = true;
        }
        SDL_UnlockTexture(texture);
        locked = nullptr;
    }
    SDL_SetRenderTarget(renderer, target);
    // Elsewhere the target already holds what this canvas holds.
    if (wholeCopy || AreaOf(drawn) + AreaOf(drawnBefore) + AreaOf(drawnOver) >= kCanvasArea / 2) {
        SDL_RenderTexture(renderer, texture, nullptr, nullptr);
    } else {
        for (const std::vector<SDL_Rect>* rects : {&drawnBefore, &drawn, &drawnOver}) {
            for (const SDL_Rect& r : *rects) {
                const SDL_FRect at{static_cast<float>(r.x), static_cast<float>(r.y),
                                   static_cast<float>(r.w), static_cast<float>(r.h)};
                SDL_RenderTexture(renderer, texture, &at, &at);
            }
        }
    }
    wholeCopy = false;
    drawnOver.clear();
}
