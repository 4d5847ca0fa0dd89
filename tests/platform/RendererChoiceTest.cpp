#include "platform/RendererChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(RendererChoiceTest, RecognisesRasterisersThatRunOnTheCpu) {
    for (const char* name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                             "Mesa DRI swrast", "Google SwiftShader"}) {
        EXPECT_TRUE(NamesSoftwareRasteriser(name)) << name;
    }
    for (const char* name :
         {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce RTX 3060/PCIe/SSE2",
          "AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)", ""}) {
        EXPECT_FALSE(NamesSoftwareRasteriser(name)) << name;
    }
}

TEST(RendererChoiceTest, KnowsOpenGlIsEmulatedOnlyWhenEveryEglDeviceIsSoftware) {
    const std::string software = "EGL_MESA_device_software EGL_EXT_device_drm_render_node";
    const std::string gpu = "EGL_EXT_device_drm EGL_EXT_device_drm_render_node";
    EXPECT_TRUE(OnlySoftwareDevices(std::vector<std::string>{software}));
    EXPECT_FALSE(OnlySoftwareDevices(std::vector<std::string>{gpu, software}));
    EXPECT_FALSE(OnlySoftwareDevices(std::vector<std::string>{gpu}));
    // Nothing listed says nothing; a longer name only begins with the software one.
    EXPECT_FALSE(OnlySoftwareDevices(std::vector<std::string>{}));
    EXPECT_FALSE(OnlySoftwareDevices(std::vector<std::string>{"EGL_MESA_device_software_x"}));
}

TEST(RendererChoiceTest, ProbesEglEarlyOnlyWhereADesktopWindowMayOpen) {
    for (const char* drivers : {"", "x11", "wayland", "dummy,x11", "x11,offscreen,dummy"}) {
        EXPECT_TRUE(MayOpenDesktop(drivers)) << drivers;
    }
    EXPECT_TRUE(MayOpenDesktop(nullptr));
    for (const char* drivers : {"dummy", "offscreen", "x11x", "kmsdrm,dummy", ","}) {
        EXPECT_FALSE(MayOpenDesktop(drivers)) << drivers;
    }
}
