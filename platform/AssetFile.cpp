#include "platform/AssetFile.h"

#include <SDL3/SDL.h>
#include <sys/stat.h>

#include <algorithm>
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
    // Room for the size the file has now and one byte more, which tells an oversized or grown
    // file without reading all of it; a file that grew is read on in doubling steps up to one
    // byte past maxBytes. Sized to the file, not to maxBytes: zeroing megabytes per asset would
    // cost more than the rest of the start-up.
    const std::size_t limit = maxBytes + 1;
    const auto size = static_cast<std::uint64_t>(info.st_size > 0 ? info.st_size : 0);
    bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size + 1, limit)));
    std::size_t got = 0;
    while (true) {
        if (got == bytes.size()) {
            if (got == limit) {
                break;
            }
            bytes.resize(std::min(limit, got * 2));
        }
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
