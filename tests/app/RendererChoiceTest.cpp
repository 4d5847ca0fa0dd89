#include "app/RendererChoice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RendererChoiceTest, RecognisesRasterisersThatRunOnTheCpu) {
    const std::pair<const char*, bool> table[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"Mesa DRI swrast", true},
        {"Google SwiftShader", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"NVIDIA GeForce RTX 3060/PCIe/SSE2", false},
        {"AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)", false},
        {"", false},
    };
    for (const auto& [name, software] : table) {
        EXPECT_EQ(NamesSoftwareRasteriser(name), software) << name;
    }
}

// Off-screen windows get OpenGL through Mesa where it is installed: on a machine without a
// GPU that is a software rasteriser, which the game must swap for SDL's software renderer,
// unless a renderer is named in SDL_RENDER_DRIVER.
TEST(RendererChoiceTest, SwapsEmulatedOpenGlForTheSoftwareRendererUnlessOneIsNamed) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "Mesa's OpenGL driver keeps allocations the leak checker reports";
#endif
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_DRIVER, "offscreen", SDL_HINT_OVERRIDE);
    ASSERT_TRUE(SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("choice", 64, 64, 0);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* platform = SDL_CreateRenderer(window, nullptr);
    const std::string platformName = platform ? SDL_GetRendererName(platform) : "";
    std::string glRenderer;
    if (platformName == "opengl" || platformName == "opengles2") {
        using GetString = const unsigned char* (*)(unsigned int);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        glRenderer = reinterpret_cast<const char*>(getString(0x1F01));
    }
    SDL_DestroyRenderer(platform);
    // With no renderer named, then with the platform's own named.
    for (const bool named : {false, true}) {
        named ? SDL_SetHint(SDL_HINT_RENDER_DRIVER, platformName.c_str())
              : SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
        SDL_Renderer* chosen = CreateGameRenderer(window);
        ASSERT_NE(chosen, nullptr) << SDL_GetError();
        const bool swapped = !named && NamesSoftwareRasteriser(glRenderer);
        EXPECT_EQ(SDL_GetRendererName(chosen), swapped ? SDL_SOFTWARE_RENDERER : platformName)
            << glRenderer;
        SDL_DestroyRenderer(chosen);
    }
    SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
    SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    SDL_DestroyWindow(window);
    SDL_Quit();
    SDL_ResetHint(SDL_HINT_VIDEO_DRIVER);
}

}  // namespace
