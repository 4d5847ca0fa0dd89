#include "platform/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>
#ifdef _WIN32
#include <SDL3/SDL.h>
#include <io.h>
#endif

#include <cerrno>
#include <cstdio>
#include <initializer_list>

namespace {

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

// Whether the number names no open descriptor.
bool IsClosed(int stream) {
#ifdef _WIN32
    return ::_get_osfhandle(stream) == -1 && errno == EBADF;
#else
    return ::fcntl(stream, F_GETFD) == -1 && errno == EBADF;
#endif
}

}  // namespace

void ReopenClosedStandardStreams() {
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (!IsClosed(stream)) {
            continue;
        }
        // The lowest free number is this one, as the lower ones are open by now.
        const int opened = ::open(kNullDevice, stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != -1 && opened != stream) {
            ::dup2(opened, stream);
            ::close(opened);
        }
    }
#ifdef _WIN32
    // SDL's own log output on Windows keeps the standard error handle of its first message and
    // misses standard error redirected after it; the C library's stream follows each redirection.
    SDL_SetLogOutputFunction(
        [](void*, int, SDL_LogPriority, const char* message) {
            std::fprintf(stderr, "%s\n", message);
            std::fflush(stderr);
        },
        nullptr);
#endif
}
