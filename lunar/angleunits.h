#pragma once

#include <numbers>

namespace lunex {

// Radians in one degree: the astronomy and the pictures give angles in
// degrees, the trigonometry takes radians.
inline constexpr double Degree = std::numbers::pi / 180.0;

} // namespace lunex
