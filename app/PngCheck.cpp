#include "app/PngCheck.h"

#include <SDL3_image/SDL_image.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// Length, type and CRC around each chunk's data.
constexpr std::size_t kChunkFrameBytes = 12;
constexpr std::uint32_t kIhdrBytes = 13;
// Chunk lengths are limited to 2^31 - 1 by the format.
constexpr std::uint32_t kMaxChunkBytes = 0x7fffffffu;
// Used when the renderer does not report its largest texture.
constexpr int kFallbackMaxSide = 1024;

std::uint32_t ReadBigEndian(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

bool IsChunkType(const std::uint8_t* type) {
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(type[i]);
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
            return false;
        }
    }
    return true;
}

bool SameType(const std::uint8_t* type, const char* name) {
    return std::memcmp(type, name, 4) == 0;
}

// The bit depths the format allows for each colour type.
bool ValidFormat(std::uint8_t depth, std::uint8_t colourType) {
    switch (colourType) {
        case 0:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6:
            return depth == 8 || depth == 16;
        default:
            return false;
    }
}

bool CheckHeader(const std::uint8_t* data, int maxSide) {
    const std::uint32_t width = ReadBigEndian(data);
    const std::uint32_t height = ReadBigEndian(data + 4);
    if (width == 0 || height == 0) {
        return SDL_SetError("PNG declares an empty image");
    }
    const auto side = static_cast<std::uint32_t>(maxSide);
    if (width > side || height > side ||
        std::uint64_t{width} * std::uint64_t{height} > kMaxImagePixels) {
        return SDL_SetError("PNG declares %u x %u pixels, more than this game accepts", width,
                            height);
    }
    if (!ValidFormat(data[8], data[9]) || data[10] != 0 || data[11] != 0 || data[12] > 1) {
        return SDL_SetError("PNG header names an unknown format");
    }
    return true;
}

// Reads at most kMaxImageFileBytes + 1 bytes, enough to tell an oversized file.
bool ReadWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
    struct stat info {};
    // A directory or a named pipe would fail late or block forever in the reader; a missing
    // file is left to the open below, which reports it as the image library would.
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return SDL_SetError("Couldn't open %s: not a regular file", path.c_str());
    }
    SDL_IOStream* io = SDL_IOFromFile(path.c_str(), "rb");
    if (io == nullptr) {
        return false;
    }
    bytes.resize(kMaxImageFileBytes + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = SDL_ReadIO(io, bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    const bool failed = SDL_GetIOStatus(io) == SDL_IO_STATUS_ERROR;
    SDL_CloseIO(io);
    bytes.resize(got);
    if (failed) {
        return SDL_SetError("Couldn't read %s", path.c_str());
    }
    if (got > kMaxImageFileBytes) {
        // As text: size_t has no printf length that both glibc and Windows' C library know.
        return SDL_SetError("%s is larger than %s bytes", path.c_str(),
                            std::to_string(kMaxImageFileBytes).c_str());
    }
    return true;
}

}  // namespace

bool CheckPng(std::span<const std::uint8_t> bytes, int maxSide) {
    if (bytes.size() < kSignature.size() ||
        std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) != 0) {
        return SDL_SetError("Not a PNG file");
    }
    std::size_t at = kSignature.size();
    bool seenHeader = false;
    bool seenData = false;
    while (true) {
        if (bytes.size() - at < kChunkFrameBytes) {
            return SDL_SetError("PNG ends before its IEND chunk");
        }
        const std::uint8_t* chunk = bytes.data() + at;
        const std::uint32_t length = ReadBigEndian(chunk);
        const std::uint8_t* type = chunk + 4;
        if (length > kMaxChunkBytes || length > bytes.size() - at - kChunkFrameBytes) {
            return SDL_SetError("PNG chunk runs past the end of the file");
        }
        if (!IsChunkType(type)) {
            return SDL_SetError("PNG chunk has a malformed type");
        }
        const std::uint32_t crc = ReadBigEndian(chunk + 8 + length);
        if (SDL_crc32(0, type, std::size_t{length} + 4) != crc) {
            return SDL_SetError("PNG chunk fails its CRC");
        }
        if (!seenHeader) {
            if (!SameType(type, "IHDR") || length != kIhdrBytes) {
                return SDL_SetError("PNG does not start with its IHDR chunk");
            }
            if (!CheckHeader(chunk + 8, maxSide)) {
                return false;
            }
            seenHeader = true;
        } else if (SameType(type, "IHDR")) {
            return SDL_SetError("PNG has a second IHDR chunk");
        } else if (SameType(type, "IDAT")) {
            seenData = true;
        } else if (SameType(type, "IEND")) {
            if (!seenData) {
                return SDL_SetError("PNG has no image data");
            }
            // Bytes after IEND are never read by the decoder.
            return true;
        }
        at += kChunkFrameBytes + length;
    }
}

SDL_Surface* LoadCheckedPng(const std::string& path, int maxSide) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(path, bytes) || !CheckPng(bytes, maxSide)) {
        return nullptr;
    }
    SDL_IOStream* io = SDL_IOFromConstMem(bytes.data(), bytes.size());
    if (io == nullptr) {
        return nullptr;
    }
    // PNG only: never another format guessed from the content.
    SDL_Surface* surface = IMG_LoadPNG_IO(io);
    SDL_CloseIO(io);
    return surface;
}

int MaxTextureSide(SDL_Renderer* renderer) {
    const Sint64 side = SDL_GetNumberProperty(SDL_GetRendererProperties(renderer),
                                              SDL_PROP_RENDERER_MAX_TEXTURE_SIZE_NUMBER, 0);
    return side > 0 && side <= SDL_MAX_SINT32 ? static_cast<int>(side) : kFallbackMaxSide;
}
