#pragma once

#include <cstddef>
#include <filesystem>
#include <random>
#include <string>

#include <malloc.h>
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// The few operating system calls the tests make that POSIX and Windows spell differently.

// The bytes the C library's heap reserved for a block from malloc; 0 for none.
inline std::size_t HeapBlockBytes(void* block) {
    if (block == nullptr) {
        return 0;
    }
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

// A new, empty folder under the system's temporary folder, its name starting with `stem`.
inline std::filesystem::path MakeTempFolder(const std::string& stem) {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned> digit(0, 35);
    constexpr const char* kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    constexpr int kSuffixLength = 8;
    while (true) {
        std::string name = stem;
        for (int i = 0; i < kSuffixLength; ++i) {
            name += kDigits[digit(entropy)];
        }
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
        // Fails when the name is taken: another name is drawn.
        if (std::filesystem::create_directory(folder)) {
            return folder;
        }
    }
}

// An anonymous pipe: ends[0] reads, ends[1] writes. False when none can be made.
inline bool OpenPipe(int ends[2]) {
#ifdef _WIN32
    constexpr unsigned kPipeBytes = 4096;
    return _pipe(ends, kPipeBytes, _O_BINARY) == 0;
#else
    return pipe(ends) == 0;
#endif
}
