#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <random>
#include <string>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/socket.h>
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

// Whether the descriptor is open on the null device.
inline bool IsNullDevice(int descriptor) {
#ifdef _WIN32
    // NUL is a character device that, unlike a console, has no console mode.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR &&
           GetConsoleMode(handle, &mode) == 0;
#else
    struct stat null {
    }, open{};
    return ::stat("/dev/null", &null) == 0 && ::fstat(descriptor, &open) == 0 &&
           S_ISCHR(open.st_mode) && open.st_rdev == null.st_rdev;
#endif
}

// A descriptor opened the way a library opens its connection after start-up (on X11, the
// display's socket), and whether anything was written into it. On Windows, where a socket is
// no C library descriptor, and in the browser's file layer, which has no socket pairs, a file
// opened for writing stands in for it.
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
#define VOIDROCKS_CONNECTION_IS_A_FILE 1
#endif
class StandInConnection {
  public:
    StandInConnection() {
#ifdef VOIDROCKS_CONNECTION_IS_A_FILE
        file_ = MakeTempFolder("voidrocks-connection-") / "connection";
#ifdef _WIN32
        ends_[0] =
            _open(file_.string().c_str(), _O_CREAT | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        ends_[0] = ::open(file_.c_str(), O_CREAT | O_RDWR, S_IRUSR | S_IWUSR);
#endif
#else
        socketpair(AF_UNIX, SOCK_STREAM, 0, ends_);
#endif
    }
    ~StandInConnection() {
        for (const int end : ends_) {
            if (end != -1) {
                ::close(end);
            }
        }
#ifdef VOIDROCKS_CONNECTION_IS_A_FILE
        std::filesystem::remove_all(file_.parent_path());
#endif
    }
    StandInConnection(const StandInConnection&) = delete;
    StandInConnection& operator=(const StandInConnection&) = delete;

    bool Opened() const {
#ifdef VOIDROCKS_CONNECTION_IS_A_FILE
        return ends_[0] != -1;
#else
        return ends_[0] != -1 && ends_[1] != -1;
#endif
    }
    // The lowest number among the descriptors it holds.
    int LowestDescriptor() const {
#ifdef VOIDROCKS_CONNECTION_IS_A_FILE
        return ends_[0];
#else
        return std::min(ends_[0], ends_[1]);
#endif
    }
    // Whether a byte arrived: what the game wrote on a standard stream that had this number.
    bool Written() const {
#ifdef VOIDROCKS_CONNECTION_IS_A_FILE
        return std::filesystem::file_size(file_) > 0;
#else
        char byte = 0;
        return recv(ends_[1], &byte, 1, MSG_DONTWAIT) != -1;
#endif
    }

  private:
    int ends_[2] = {-1, -1};
#ifdef VOIDROCKS_CONNECTION_IS_A_FILE
    std::filesystem::path file_;
#endif
};
