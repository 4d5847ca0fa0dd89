#include <SDL3/SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr const char* kUnknownDriver = "voidrocks_no_such_driver";

// The error SDL itself gives when its video subsystem is asked for the unknown driver.
std::string VideoStartError() {
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_DRIVER, kUnknownDriver, SDL_HINT_OVERRIDE);
    const bool started = SDL_Init(SDL_INIT_VIDEO);
    const std::string error = SDL_GetError();
    SDL_Quit();
    SDL_ResetHint(SDL_HINT_VIDEO_DRIVER);
    return started ? std::string() : error;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PlatformFailure, AnUnknownVideoDriverEndsTheProgramWithOneLineOnStandardError) {
    const std::string sdlError = VideoStartError();
    ASSERT_FALSE(sdlError.empty()) << "SDL started video with an unknown driver";

    char errTemplate[] = "/tmp/voidrocks-stderr-XXXXXX";
    const int errFd = mkstemp(errTemplate);
    ASSERT_GE(errFd, 0);
    close(errFd);
    const std::filesystem::path errPath = errTemplate;

    const std::string command = std::string("SDL_VIDEO_DRIVER=") + kUnknownDriver + " '" +
                                VOIDROCKS_EXECUTABLE + "' </dev/null >/dev/null 2>'" +
                                errPath.string() + "'";
    const int status = std::system(command.c_str());
    const std::string err = ReadFile(errPath);
    std::filesystem::remove(errPath);

    ASSERT_NE(status, -1);
    ASSERT_TRUE(WIFEXITED(status)) << "the program did not exit by itself";
    EXPECT_NE(WEXITSTATUS(status), 0);
    // The shell's own "not found" would be 127.
    EXPECT_NE(WEXITSTATUS(status), 127) << err;
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "not exactly one line: " << err;
    EXPECT_NE(err.find(sdlError), std::string::npos) << err;
    // It also says what failed, not only SDL's words.
    EXPECT_GT(err.size(), sdlError.size() + 1) << err;
}

}  // namespace
