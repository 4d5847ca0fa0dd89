#pragma once

#include <SDL3_ttf/SDL_ttf.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// The game's one font and the size its texts are set in.
inline constexpr const char* kGameFontPath = "Assets/Retro.ttf";
inline constexpr float kGameFontPoints = 48.0f;

// Larger than any font a player would choose by far; the file is read whole.
inline constexpr std::size_t kMaxFontFileBytes = std::size_t{16} << 20;

// Opens the font at `points` from memory, after reading the file whole like the images (a
// regular file of at most kMaxFontFileBytes, so a named pipe cannot block the open). A font in
// which any of `texts` would come out wider or taller than the canvas is refused: its texts
// would cost gigabytes and seconds a frame, and could never be seen whole. Null with SDL's
// error when the font cannot be had; the font owns its bytes and frees them when closed.
TTF_Font* OpenGameFont(const std::string& path, float points,
                       std::span<const std::string_view> texts);
