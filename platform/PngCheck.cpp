#include "platform/PngCheck.h"

#include <SDL3_image/SDL_image.h>
#include <png.h>
#include <zlib.h>

#include <array>
#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "platform/AssetFile.h"

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// Length, type and CRC around each chunk's data.
constexpr std::size_t kChunkFrameBytes = 12;
constexpr std::uint32_t kIhdrBytes = 13;
// Chunk lengths are limited to 2^31 - 1 by the format.
constexpr std::uint32_t kMaxChunkBytes = 0x7fffffffu;
// Output of one inflate step while the image data is checked.
constexpr std::size_t kInflateChunkBytes = 16384;
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

// Bytes of filtered rows the header promises: a filter byte and the packed pixels of each row,
// pass by pass when the image is interlaced.
std::uint64_t DeclaredDataBytes(const std::uint8_t* header) {
    const std::uint64_t width = ReadBigEndian(header);
    const std::uint64_t height = ReadBigEndian(header + 4);
    const std::uint8_t colourType = header[9];
    const std::uint64_t channels = colourType == 2   ? 3
                                   : colourType == 4 ? 2
                                   : colourType == 6 ? 4
                                                     : 1;
    const std::uint64_t bitsPerPixel = header[8] * channels;
    const auto rows = [&](std::uint64_t w, std::uint64_t h) {
        return w == 0 || h == 0 ? 0 : h * (1 + (w * bitsPerPixel + 7) / 8);
    };
    if (header[12] == 0) {
        return rows(width, height);
    }
    // The seven passes of Adam7: first column and row, then the steps between them.
    constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::uint64_t total = 0;
    for (const auto& [x0, y0, dx, dy] : kPasses) {
        const auto count = [](std::uint64_t n, int first, int step) {
            return n > std::uint64_t(first) ? (n - first + step - 1) / step : 0;
        };
        total += rows(count(width, x0, dx), count(height, y0, dy));
    }
    return total;
}

// Inflates the image data with its output capped at what the header declares: a small file
// that inflates to gigabytes would otherwise stall start-up in the decoder, which inflates
// whatever follows the last row before it gives up on it.
bool InflatesAsDeclared(const std::vector<std::span<const std::uint8_t>>& data,
                        std::uint64_t declared) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return SDL_SetError("Cannot check the PNG image data");
    }
    std::array<Bytef, kInflateChunkBytes> out;
    std::uint64_t inflated = 0;
    int status = Z_OK;
    for (const std::span<const std::uint8_t> part : data) {
        stream.next_in = const_cast<Bytef*>(part.data());
        stream.avail_in = static_cast<uInt>(part.size());
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            inflated += out.size() - stream.avail_out;
        } while (status == Z_OK && inflated <= declared &&
                 (stream.avail_in > 0 || stream.avail_out == 0));
        // Nothing more is inflated past the declared size, however many chunks follow.
        if ((status != Z_OK && status != Z_BUF_ERROR) || inflated > declared) {
            break;
        }
    }
    const char* const reason = stream.msg != nullptr ? stream.msg : "unknown error";
    inflateEnd(&stream);
    if (inflated > declared) {
        return SDL_SetError("PNG image data inflates beyond the %llu bytes its header declares",
                            static_cast<unsigned long long>(declared));
    }
    if (status != Z_STREAM_END && status != Z_OK && status != Z_BUF_ERROR) {
        return SDL_SetError("PNG image data is corrupt: %s", reason);
    }
    if (status != Z_STREAM_END || inflated < declared) {
        return SDL_SetError("PNG image data is cut short");
    }
    return true;
}

// The file in memory as libpng reads it, and the first thing libpng said about it.
struct QuietReader {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
    std::array<char, 128> complaint{};
};

void Note(png_structp png, png_const_charp message) {
    auto* reader = static_cast<QuietReader*>(png_get_error_ptr(png));
    if (reader->complaint[0] == '\0') {
        SDL_strlcpy(reader->complaint.data(), message, reader->complaint.size());
    }
}

[[noreturn]] void Stop(png_structp png, png_const_charp message) {
    Note(png, message);
    png_longjmp(png, 1);
}

void ReadFromMemory(png_structp png, png_bytep out, std::size_t length) {
    auto* reader = static_cast<QuietReader*>(png_get_io_ptr(png));
    if (length > reader->bytes.size() - reader->at) {
        png_error(png, "Read past the end of the file");
    }
    std::memcpy(out, reader->bytes.data() + reader->at, length);
    reader->at += length;
}

// Decodes the image much as SDL_image does (its transformations, every row, nothing after the
// last one): into `pixels` row by row `pitch` bytes apart, or with no pitch into one reused row.
// No C++ object lives in this frame, so that libpng's long jump out of an error skips no
// destructor.
bool ReadEveryRow(png_structp png, png_infop info, std::uint8_t* pixels, std::size_t rowBytes,
                  std::size_t pitch) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, png_get_error_ptr(png), ReadFromMemory);
    png_read_info(png, info);
    const int colourType = png_get_color_type(png, info);
    png_set_strip_16(png);
    const int passes = png_set_interlace_handling(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY) {
        png_set_expand(png);
    }
    png_bytep alpha = nullptr;
    int alphas = 0;
    if (png_get_tRNS(png, info, &alpha, &alphas, nullptr) != 0 &&
        colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_expand(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) > rowBytes) {
        png_error(png, "Row wider than the header declares");
    }
    const png_uint_32 height = png_get_image_height(png, info);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, pixels + y * pitch, nullptr);
        }
    }
    return true;
}

// SDL_image leaves libpng's own handlers in place, which write every error and warning to
// standard error beside the game's line. The image is decoded here with quiet handlers, by the
// same libpng: what libpng would complain of is refused, with its words as the reason. A sheet
// with an alpha channel, as every sprite sheet of the game has, is decoded into `decoded`
// (when asked for) in the format SDL_image gives it, so that it is decoded only once; any
// other is left to SDL_image, whose decode then has nothing to say.
bool DecodesQuietly(std::span<const std::uint8_t> bytes, const std::uint8_t* header,
                    SDL_Surface** decoded) {
    QuietReader reader{bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reader, Stop, Note);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return SDL_SetError("Out of memory");
    }
    const int width = static_cast<int>(ReadBigEndian(header));
    const int height = static_cast<int>(ReadBigEndian(header + 4));
    SDL_Surface* surface = decoded != nullptr && header[9] == PNG_COLOR_TYPE_RGB_ALPHA
                               ? SDL_CreateSurface(width, height, SDL_PIXELFORMAT_RGBA32)
                               : nullptr;
    // Four 8-bit channels at most after the transformations.
    const std::size_t widest = std::size_t{ReadBigEndian(header)} * 4;
    std::vector<std::uint8_t> row(surface != nullptr ? 0 : widest);
    const bool read = surface != nullptr
                          ? ReadEveryRow(png, info, static_cast<std::uint8_t*>(surface->pixels),
                                         widest, static_cast<std::size_t>(surface->pitch))
                          : ReadEveryRow(png, info, row.data(), row.size(), 0);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!read || reader.complaint[0] != '\0') {
        SDL_DestroySurface(surface);
        return SDL_SetError("PNG decoder: %s",
                            reader.complaint[0] != '\0' ? reader.complaint.data() : "failed");
    }
    if (decoded != nullptr) {
        *decoded = surface;
    }
    return true;
}

// The checks of CheckPng; a sheet decoded on the way is handed to `decoded` when asked for.
bool CheckAndDecode(std::span<const std::uint8_t> bytes, int maxSide, SDL_Surface** decoded) {
    if (bytes.size() < kSignature.size() ||
        std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) != 0) {
        return SDL_SetError("Not a PNG file");
    }
    std::size_t at = kSignature.size();
    const std::uint8_t* header = nullptr;
    std::vector<std::span<const std::uint8_t>> data;
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
        if (header == nullptr) {
            if (!SameType(type, "IHDR") || length != kIhdrBytes) {
                return SDL_SetError("PNG does not start with its IHDR chunk");
            }
            if (!CheckHeader(chunk + 8, maxSide)) {
                return false;
            }
            header = chunk + 8;
        } else if (SameType(type, "IHDR")) {
            return SDL_SetError("PNG has a second IHDR chunk");
        } else if (SameType(type, "IDAT")) {
            data.emplace_back(chunk + 8, length);
        } else if (SameType(type, "IEND")) {
            if (data.empty()) {
                return SDL_SetError("PNG has no image data");
            }
            // Bytes after IEND are never read by the decoder.
            return InflatesAsDeclared(data, DeclaredDataBytes(header)) &&
                   DecodesQuietly(bytes, header, decoded);
        }
        at += kChunkFrameBytes + length;
    }
}

}  // namespace

bool CheckPng(std::span<const std::uint8_t> bytes, int maxSide) {
    return CheckAndDecode(bytes, maxSide, nullptr);
}

SDL_Surface* LoadCheckedPng(const std::string& path, int maxSide) {
    std::vector<std::uint8_t> bytes;
    SDL_Surface* surface = nullptr;
    if (!ReadAssetFile(path, kMaxImageFileBytes, bytes) ||
        !CheckAndDecode(bytes, maxSide, &surface)) {
        return nullptr;
    }
    if (surface != nullptr) {
        return surface;
    }
    SDL_IOStream* io = SDL_IOFromConstMem(bytes.data(), bytes.size());
    if (io == nullptr) {
        return nullptr;
    }
    // PNG only: never another format guessed from the content.
    surface = IMG_LoadPNG_IO(io);
    SDL_CloseIO(io);
    return surface;
}

int MaxTextureSide(SDL_Renderer* renderer) {
    const Sint64 side = SDL_GetNumberProperty(SDL_GetRendererProperties(renderer),
                                              SDL_PROP_RENDERER_MAX_TEXTURE_SIZE_NUMBER, 0);
    return side > 0 && side <= SDL_MAX_SINT32 ? static_cast<int>(side) : kFallbackMaxSide;
}
