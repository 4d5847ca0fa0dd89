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

}  // namespace
