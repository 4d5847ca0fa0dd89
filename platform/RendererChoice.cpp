#include "platform/RendererChoice.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

// glGetString's name for the renderer string.
constexpr unsigned int kGlRenderer = 0x1F01;

constexpr std::string_view kSoftwareRasterisers[] = {"llvmpipe", "softpipe",    "swrast",
                                                     "software", "swiftshader", "gdi generic"};

bool IsOpenGl(SDL_Renderer* renderer) {
    const char* name = SDL_GetRendererName(renderer);
    return name != nullptr &&
           (std::strcmp(name, "opengl") == 0 || std::strcmp(name, "opengles2") == 0);
}

// Reads GL_RENDERER through the context the renderer has just made current.
std::string GlRendererOf(SDL_Renderer* renderer) {
    if (!IsOpenGl(renderer) || SDL_GL_GetCurrentContext() == nullptr) {
        return {};
    }
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* text = getString != nullptr ? getString(kGlRenderer) : nullptr;
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

}  // namespace

bool NamesSoftwareRasteriser(std::string_view glRenderer) {
    std::string lower(glRenderer);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::any_of(
        std::begin(kSoftwareRasterisers), std::end(kSoftwareRasterisers),
        [&](std::string_view name) { return lower.find(name) != std::string::npos; });
}

SDL_Renderer* CreateGameRenderer(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, nullptr);
    const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (renderer == nullptr || (chosen != nullptr && *chosen != '\0') ||
        !NamesSoftwareRasteriser(GlRendererOf(renderer))) {
        return renderer;
    }
    SDL_DestroyRenderer(renderer);
    // Through emulated OpenGL the window surface would cost as much again as the drawing. A
    // player's own SDL_FRAMEBUFFER_ACCELERATION still wins over this.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer = SDL_CreateRenderer(window, SDL_SOFTWARE_RENDERER);
    return renderer != nullptr ? renderer : SDL_CreateRenderer(window, nullptr);
}
