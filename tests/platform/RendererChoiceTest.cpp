#include "platform/RendererChoice.h"

#include <gtest/gtest.h>

namespace {

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

}  // namespace
