#pragma once

#include <SDL3/SDL.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Checks an image file must pass before SDL_image decodes it. A hostile or broken file could
// otherwise hang the decoder (a chunk cut off at the end of the file), make it allocate or
// inflate gigabytes (a tiny file declaring a huge picture, or image data that inflates far
// beyond it), be decoded as some other format, or have libpng write its own complaints to
// standard error.

// Larger than any sprite sheet of this game by far; the file is read whole.
inline constexpr std::size_t kMaxImageFileBytes = std::size_t{8} << 20;
// 1024 x 1024 pixels, 4 MB decoded; the game's sprite sheets are 48 x 48 at most.
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 20;

// True when the bytes are one well-formed PNG: its signature, an IHDR first with a valid
// format, every chunk whole with a matching CRC, image data, and an IEND. The declared width
// and height must each be at most maxSide pixels and together at most kMaxImagePixels; the
// image data must inflate to exactly the size the header declares (it is never inflated
// further); and libpng must decode it without an error or a warning. Otherwise false with the
// reason as SDL's error.
bool CheckPng(std::span<const std::uint8_t> bytes, int maxSide);

// Reads the file whole (a regular file of at most kMaxImageFileBytes), checks it and decodes
// it as PNG only: an image with an alpha channel once, by the check itself, into the surface
// SDL_image would give (RGBA32, the same pixels); any other by SDL_image after the check.
// Null with SDL's error set when any step fails; the caller owns the surface.
SDL_Surface* LoadCheckedPng(const std::string& path, int maxSide);

// The largest texture side the renderer accepts, or a side that keeps the pixel budget when
// the renderer does not say.
int MaxTextureSide(SDL_Renderer* renderer);
