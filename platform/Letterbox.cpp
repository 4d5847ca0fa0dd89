#include "platform/Letterbox.h"

#include <algorithm>

#include "platform/Canvas.h"

namespace {
constexpr float kCanvasWidthF = static_cast<float>(kCanvasWidth);
constexpr float kCanvasHeightF = static_cast<float>(kCanvasHeight);
}  // namespace

CanvasPlacement FitCanvas(int windowWidth, int windowHeight) {
    const float scale = std::min(static_cast<float>(windowHeight) / kCanvasHeightF,
                                 static_cast<float>(windowWidth) / kCanvasWidthF);
    const int h = static_cast<int>(scale * kCanvasHeightF);
    const int w = static_cast<int>(scale * kCanvasWidthF);
    return {(windowWidth - w) / 2, (windowHeight - h) / 2, w, h};
}
