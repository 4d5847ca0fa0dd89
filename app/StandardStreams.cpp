#include "app/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace {

constexpr const char* kNullDevice = "/dev/null";

}  // namespace

void ReopenClosedStandardStreams() {
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(stream, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lowest free number is this one, as the lower ones are open by now.
        const int opened = ::open(kNullDevice, stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != -1 && opened != stream) {
            ::dup2(opened, stream);
            ::close(opened);
        }
    }
}
