#pragma once

#include <cmath>
#include <numbers>

// Heading h (degrees, 0 up, clockwise) as the angle of its direction from the positive x axis
// in radians: h - 90 in float, the conversion to radians in double.
inline float HeadingRadians(float heading) {
    return static_cast<float>(static_cast<double>(heading - 90.0f) * std::numbers::pi / 180.0);
}

struct Direction {
    float x;
    float y;
};

inline Direction HeadingDirection(float heading) {
    const float a = HeadingRadians(heading);
    return {std::cos(a), std::sin(a)};
}
