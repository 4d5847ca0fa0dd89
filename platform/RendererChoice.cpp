#include "platform/RendererChoice.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// glGetString's name for the renderer string.
constexpr unsigned int kGlRenderer = 0x1F01;

// EGL's names, from EGL/egl.h and EGL/eglext.h, which the game does not need to build.
constexpr int kEglExtensions = 0x3055;
constexpr std::string_view kEglDeviceEnumeration = "EGL_EXT_device_enumeration";
constexpr std::string_view kEglSoftwareDevice = "EGL_MESA_device_software";
// More devices than a machine has.
constexpr int kMostEglDevices = 16;

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

bool HasExtension(std::string_view list, std::string_view name) {
    for (std::size_t at = list.find(name); at != std::string_view::npos;
         at = list.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if ((at == 0 || list[at - 1] == ' ') && (end == list.size() || list[end] == ' ')) {
            return true;
        }
    }
    return false;
}

// The extension strings of the devices EGL lists; empty when EGL or its device list is not
// there. Only EGL's own library is loaded, not a driver.
std::vector<std::string> EglDeviceExtensions() {
    std::vector<std::string> devices;
    SDL_SharedObject* egl = SDL_LoadObject("libEGL.so.1");
    if (egl == nullptr) {
        return devices;
    }
    using GetProcAddress = void* (*)(const char*);
    using QueryString = const char* (*)(void*, int);
    using QueryDevices = unsigned (*)(int, void**, int*);
    using QueryDeviceString = const char* (*)(void*, int);
    auto getProc = reinterpret_cast<GetProcAddress>(SDL_LoadFunction(egl, "eglGetProcAddress"));
    auto queryString = reinterpret_cast<QueryString>(SDL_LoadFunction(egl, "eglQueryString"));
    const char* clientExtensions =
        queryString != nullptr ? queryString(nullptr, kEglExtensions) : nullptr;
    if (getProc != nullptr && clientExtensions != nullptr &&
        HasExtension(clientExtensions, kEglDeviceEnumeration)) {
        auto queryDevices = reinterpret_cast<QueryDevices>(getProc("eglQueryDevicesEXT"));
        auto queryDeviceString =
            reinterpret_cast<QueryDeviceString>(getProc("eglQueryDeviceStringEXT"));
        void* found[kMostEglDevices] = {};
        int count = 0;
        if (queryDevices != nullptr && queryDeviceString != nullptr &&
            queryDevices(kMostEglDevices, found, &count) != 0) {
            for (int i = 0; i < count; ++i) {
                const char* extensions = queryDeviceString(found[i], kEglExtensions);
                devices.emplace_back(extensions != nullptr ? extensions : "");
            }
        }
    }
    // EGL's library stays loaded: unloading it while its threads may live is not safe.
    return devices;
}

bool NamesDesktopDriver(std::string_view name) {
    return name == "x11" || name == "wayland";
}

}  // namespace

bool MayOpenDesktop(const char* drivers) {
    if (drivers == nullptr || *drivers == '\0') {
        return true;
    }
    std::string_view list(drivers);
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t end = std::min(list.find(',', at), list.size());
        if (NamesDesktopDriver(list.substr(at, end - at))) {
            return true;
        }
        at = end + 1;
    }
    return false;
}

namespace {

// The EGL devices listed on the probe's thread; only that thread writes them, before it ends.
struct EglDeviceProbe {
    SDL_Thread* thread = nullptr;
    std::vector<std::string> devices;
};
EglDeviceProbe probe;

int ProbeEglDevices(void* into) {
    static_cast<EglDeviceProbe*>(into)->devices = EglDeviceExtensions();
    return 0;
}

// The probe's answer when one was started, otherwise EGL asked now.
std::vector<std::string> TakeEglDeviceExtensions() {
    if (probe.thread == nullptr) {
        return EglDeviceExtensions();
    }
    SDL_WaitThread(probe.thread, nullptr);
    probe.thread = nullptr;
    return std::move(probe.devices);
}

}  // namespace

void StartEglDeviceProbe() {
#if defined(SDL_PLATFORM_WINDOWS) || defined(SDL_PLATFORM_APPLE) || defined(SDL_PLATFORM_EMSCRIPTEN)
    // No X11 or Wayland window is opened here.
    return;
#endif
    const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (probe.thread != nullptr || (chosen != nullptr && *chosen != '\0') ||
        !MayOpenDesktop(SDL_GetHint(SDL_HINT_VIDEO_DRIVER))) {
        return;
    }
    // Without threads (or when one cannot be had) EGL is asked when the renderer is chosen.
    probe.thread = SDL_CreateThread(ProbeEglDevices, "EGL devices", &probe);
}

void FinishEglDeviceProbe() {
    if (probe.thread != nullptr) {
        TakeEglDeviceExtensions().clear();
    }
}

bool OnlySoftwareDevices(std::span<const std::string> deviceExtensions) {
    return !deviceExtensions.empty() &&
           std::all_of(deviceExtensions.begin(), deviceExtensions.end(),
                       [](const std::string& e) { return HasExtension(e, kEglSoftwareDevice); });
}

bool NamesSoftwareRasteriser(std::string_view glRenderer) {
    std::string lower(glRenderer);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::any_of(
        std::begin(kSoftwareRasterisers), std::end(kSoftwareRasterisers),
        [&](std::string_view name) { return lower.find(name) != std::string::npos; });
}

SDL_Renderer* CreateGameRenderer(SDL_Window* window) {
    const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool playerChose = chosen != nullptr && *chosen != '\0';
    // Only desktop windows are asked through EGL; elsewhere (the headless drivers among them)
    // the default renderer is created and looked at, as it always was.
    const char* video = SDL_GetCurrentVideoDriver();
    const bool desktop = video != nullptr && NamesDesktopDriver(video);
    const bool askEgl = !playerChose && desktop;
    if (!askEgl) {
        FinishEglDeviceProbe();
    }
    SDL_Renderer* renderer = nullptr;
    if (!askEgl || !OnlySoftwareDevices(TakeEglDeviceExtensions())) {
        renderer = SDL_CreateRenderer(window, nullptr);
        if (renderer == nullptr || playerChose ||
            !NamesSoftwareRasteriser(GlRendererOf(renderer))) {
            return renderer;
        }
        SDL_DestroyRenderer(renderer);
    }
    // Through emulated OpenGL the window surface would cost as much again as the drawing. A
    // player's own SDL_FRAMEBUFFER_ACCELERATION still wins over this.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer = SDL_CreateRenderer(window, SDL_SOFTWARE_RENDERER);
    return renderer != nullptr ? renderer : SDL_CreateRenderer(window, nullptr);
}
