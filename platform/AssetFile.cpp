#include "platform/AssetFile.h"

#include <SDL3/SDL.h>
#include <sys/stat.h>

#include <string>

bool ReadAssetFile(const std::string& path, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes) {
    struct stat info {};
    // A missing file is left to the open below, which reports it as the libraries would.
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return SDL_SetError("Couldn't open %s: not a regular file", path.c_str());
    }
    SDL_IOStream* io = SDL_IOFromFile(path.c_str(), "rb");
    if (io == nullptr) {
        return false;
    }
    // One byte more than allowed tells an oversized file without reading all of it.
    bytes.resize(maxBytes + 1);
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
    if (got > maxBytes) {
        // As text: size_t has no printf length that both glibc and Windows' C library know.
        return SDL_SetError("%s is larger than %s bytes", path.c_str(),
                            std::to_string(maxBytes).c_str());
    }
    return true;
}
