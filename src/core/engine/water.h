#pragma once

namespace marelos {

// The pressure of 100 m of water, bar: the sea as the program counts it, and fresh water of
// 1000 kg/m³ (which only the planner offers).
inline constexpr double kSaltWater = 10.1043;
inline constexpr double kFreshWater = 9.80665;

}  // namespace marelos
