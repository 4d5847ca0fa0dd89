#include "platform/Letterbox.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(Letterbox, FitsTheLargestCanvasCentredWithTheOddPixelRightOrBelow) {
    const std::tuple<int, int, CanvasPlacement> table[] = {
        {1920, 1080, {0, 0, 1920, 1080}},  {2560, 1440, {0, 0, 2560, 1440}},
        {1280, 1024, {0, 152, 1280, 720}}, {800, 600, {0, 75, 800, 450}},
        {1080, 1920, {0, 656, 1080, 607}}, {1366, 768, {0, 0, 1365, 768}},
        {1000, 700, {0, 69, 999, 562}},    {0, 0, {0, 0, 0, 0}},
    };
    for (const auto& [w, h, fit] : table) {
        const CanvasPlacement got = FitCanvas(w, h);
        EXPECT_EQ(std::tie(got.x, got.y, got.w, got.h), std::tie(fit.x, fit.y, fit.w, fit.h))
            << w << "x" << h;
    }
}

}  // namespace
