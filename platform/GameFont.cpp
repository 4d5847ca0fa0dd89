#include "platform/GameFont.h"

#include <cstdint>
#include <vector>

#include "platform/AssetFile.h"
#include "platform/Canvas.h"

namespace {

// Refuses the font when a text would not fit the canvas, measured before anything is rendered.
bool FitsCanvas(TTF_Font* font, std::span<const std::string_view> texts) {
    for (const std::string_view text : texts) {
        int width = 0;
        int height = 0;
        if (!TTF_GetStringSize(font, text.data(), text.size(), &width, &height)) {
            return false;
        }
        if (width > kCanvasWidth || height > kCanvasHeight) {
            return SDL_SetError("\"%.*s\" would be %d x %d pixels, larger than the %d x %d canvas",
                                static_cast<int>(text.size()), text.data(), width, height,
                                kCanvasWidth, kCanvasHeight);
        }
    }
    return true;
}

}  // namespace

TTF_Font* OpenGameFont(const std::string& path, float points,
                       std::span<const std::string_view> texts) {
    std::vector<std::uint8_t> bytes;
    if (!ReadAssetFile(path, kMaxFontFileBytes, bytes)) {
        return nullptr;
    }
    // The text engine reads glyphs from the stream for as long as the font is open: a stream
    // that owns its copy of the bytes goes with the font.
    SDL_IOStream* io = SDL_IOFromDynamicMem();
    if (io == nullptr) {
        return nullptr;
    }
    if ((!bytes.empty() && SDL_WriteIO(io, bytes.data(), bytes.size()) != bytes.size()) ||
        SDL_SeekIO(io, 0, SDL_IO_SEEK_SET) != 0) {
        SDL_CloseIO(io);
        return nullptr;
    }
    TTF_Font* font = TTF_OpenFontIO(io, true, points);
    if (font != nullptr && !FitsCanvas(font, texts)) {
        const std::string reason = SDL_GetError();
        TTF_CloseFont(font);
        SDL_SetError("%s", reason.c_str());
        return nullptr;
    }
    return font;
}
